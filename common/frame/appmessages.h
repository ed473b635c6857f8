// What a module does for each application message: the entry point of every module hands
// the message to this table (a missing handler ignores the message) and answers kRetOK.
#pragma once

#include "arx/rx.h"

namespace zelframe {

struct AppMessageHandlers {
    void (*init)(void* appId) = nullptr; // kInitAppMsg
    void (*unload)() = nullptr;          // kUnloadAppMsg and kQuitMsg
    void (*loadDrawing)() = nullptr;     // kLoadDwgMsg (the drawing is the current one)
    void (*unloadDrawing)() = nullptr;   // kUnloadDwgMsg
};

AcRx::AppRetCode dispatchAppMessage(AcRx::AppMsgCode msg, void* appId,
                                    const AppMessageHandlers& handlers);

} // namespace zelframe
