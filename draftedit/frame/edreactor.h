// The module's editor reactor: notes in the current document's record that a command was
// cancelled while a command of the module watched a host command it had issued.
#pragma once

#include "arx/aced.h"

class CfuncEdReactor : public AcEditorReactor {
public:
    // With autoAttach it adds itself to the editor at once.
    explicit CfuncEdReactor(bool autoAttach = true);
    ~CfuncEdReactor() override;
    CfuncEdReactor(const CfuncEdReactor&) = delete;
    CfuncEdReactor& operator=(const CfuncEdReactor&) = delete;

    virtual void attach();
    virtual void detach();
    // The editor found in the system registry, or null.
    virtual AcEditor* editor() const;
    virtual bool isAttached() const { return mAttached != 0; }

    void commandCancelled(const ACHAR* cmdStr) override;

private:
    int32_t mAttached = 0;
};
