// Drumlet's flat interface, as a host calls it: the devices of the transfer
// layer, the queue of tracks the dialogs take, the skin file, the state of
// the library, and the three user interfaces. Strings are in the system code
// page; the records are those of transfer_layer.h.
#pragma once

#include "drumlet/transfer_layer.h"

extern "C" {

// Rebuilds the device table from the device modules of the registry.
// 1 = done, 0 = the module list cannot be read. The cursor stays where it
// was.
QAP_EXPORT BYTE EnumAllDevices();
// Cursor to the first record; 1.
QAP_EXPORT BYTE EnumDevicesReset();
// Copies the record at the cursor and advances it; 0 when none is left (or
// pDI is null).
QAP_EXPORT BYTE EnumDevicesNext(DeviceInfo* pDI);
// The module short ID (at least 52 bytes) of the first device with exactly
// this name and index; 0 leaves the buffer untouched.
QAP_EXPORT BYTE GetShortID(const char* deviceName, DWORD deviceIndex, char* shortId);

// Appends a track; 0 when the queue holds 100 tracks already, or when a text
// does not fit its field with its terminator (name 256, source path 1000,
// reader short ID 50 bytes): then nothing changes.
QAP_EXPORT DWORD AddNewTrack(const char* name, const char* sourcePath, const char* readerShortId);
QAP_EXPORT DWORD GetTrackQueueSize();
QAP_EXPORT void FreeTrackQueue();

// The skin file every dialog loads (by default Drumlet.skn beside the host
// program).
QAP_EXPORT void SetSkinPath(const char* path);
// 1 while the conversion dialog is open.
QAP_EXPORT BYTE IsConverting();
// 1 while the recorder dialog or the simple mode runs.
QAP_EXPORT DWORD IsRecording();

// The conversion dialog, modal on the calling thread, with the queued tracks
// in its list. options: the host's recording options, or null for the
// defaults.
QAP_EXPORT void InvokeConversionDlg(IRecordingOption* options);
// The recorder dialog and the simple mode: nothing happens without options
// or while one of them runs (a warning says so).
// The recorder dialog, modal on the calling thread; it takes the queued
// tracks over (the queue is empty afterwards).
QAP_EXPORT void InvokeAdvancedDlg(IRecordingOption* options);
// The simple mode: records the queued tracks onto the device named by the
// module's short ID (null: the one named before) and index. Its burn goes on
// under its "Burning" window after the call returns, while the host's
// thread dispatches messages; IsRecording says 1 until it ends.
QAP_EXPORT void InvokeSimpleMode(IRecordingOption* options, const char* shortId, DWORD deviceIndex);
// 1 when the simple mode is not running; 0 without its "Burning" window.
// Otherwise asks whether to cancel the burn (a cancel is handled once the
// thread dispatches messages again) and answers whether it was cancelled.
QAP_EXPORT BYTE CloseSimpleMode();

}  // extern "C"
