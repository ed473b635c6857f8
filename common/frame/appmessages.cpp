#include "common/frame/appmessages.h"

namespace zelframe {

AcRx::AppRetCode dispatchAppMessage(AcRx::AppMsgCode msg, void* appId,
                                    const AppMessageHandlers& h) {
    switch (msg) {
    case AcRx::kInitAppMsg:
        if (h.init) h.init(appId);
        break;
    case AcRx::kUnloadAppMsg:
    case AcRx::kQuitMsg:
        if (h.unload) h.unload();
        break;
    case AcRx::kLoadDwgMsg:
        if (h.loadDrawing) h.loadDrawing();
        break;
    case AcRx::kUnloadDwgMsg:
        if (h.unloadDrawing) h.unloadDrawing();
        break;
    case AcRx::kNullMsg:
    case AcRx::kInvkSubrMsg:
    case AcRx::kCfgMsg:
    case AcRx::kEndMsg:
    case AcRx::kSaveMsg:
        break;
    }
    return AcRx::kRetOK;
}

} // namespace zelframe
