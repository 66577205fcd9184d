#pragma once
// "screencapture": the desktop, a rectangle of it or one window recorded as
// raw pictures at a frame rate, optionally with the pointer drawn in and a
// blinking ring round the area (TFrameForm). Opened by name in a task's
// input set-up, e.g. "-f screencapture -input_type desktop -capture_offset
// 100,50 -s 640x480 -r 5 -capture_flags +showframe+client" and input name ""
// (or a window's decimal handle for "hwnd", its title for "title").
//
// Pictures come from platform/media's grabber (the memory screen headless,
// the root window on x11). Each packet carries its slot's time (microseconds
// from the first read); a read that comes late skips every missed slot, so
// the pictures keep pace with the sound recorded beside them.

// Registers the source (a second call does nothing).
void RegisterScreenCapture();
