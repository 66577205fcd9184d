#pragma once
// "wavecapture": PCM sound from a sound input (platform/media) as an input
// of a task, e.g. "-f wavecapture -pause_pointer <handle>" with input name
// "-1" (the default device) or N (the N-th capturing card). A reader thread
// fills two device buffers in turn and queues each filled one as a packet,
// unless the live value named by -pause_pointer is non-zero; sound that
// arrives before the task's first read is dropped. Packets carry the time of
// their first sample (microseconds of queued sound). A device that goes
// away, or a packet that cannot be made, ends the input with an I/O error
// once the packets queued before it are read.

// Registers the source (a second call does nothing).
void RegisterWaveCapture();

// Tests: the reader fails to make the packet after APackets queued ones
// (-1: never).
void WaveCaptureFailAllocationAfter(int APackets);
