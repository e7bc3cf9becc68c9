// X protocol errors are recorded for the loop to judge instead of ending the
// process from inside Xlib: a foreign window that goes away is a normal end.
#include "x11/window.h"

namespace {

int recordedError = 0;
unsigned long recordedResource = 0;

int RecordXError(Display*, XErrorEvent* event) {
    if (!recordedError) {
        recordedError = event->error_code;
        recordedResource = event->resourceid;
    }
    return 0;
}

}  // namespace

void InstallXErrorHandler() { XSetErrorHandler(RecordXError); }

int TakeXError(unsigned long* resourceId) {
    int error = recordedError;
    *resourceId = recordedResource;
    recordedError = 0;
    recordedResource = 0;
    return error;
}
