#pragma once
// "vfwcapture": a camera (platform/media: V4L2, or the test camera) as an
// input of a task, e.g. "-f vfwcapture -r 15" with the camera's number as
// input name. The camera's driver thread queues every picture as a packet
// (time stamps in milliseconds from the driver), dropping pictures in a
// 62/75/87/100 % pattern as the queue fills towards the real-time buffer
// limit; the camera is opened and closed in the main thread. A camera that
// goes away ends the input with an I/O error after the queued pictures.

// Registers the source (a second call does nothing).
void RegisterVfwCapture();
