// The component the host drives: launch, shut down, install, close and the host level.
#include "ZindleCom.h"
#include <windows.h>
#include "BundleState.h"
#include "BundleStrings.h"
#include "Install.h"
#include "Launch.h"

namespace {

constexpr wchar_t kProgramWindowClass[] = L"ZindleFrame";

t_ZindleComImpl theComponent({L"ZindleCom", kDisplayName, kDescription,
                               kBaseInterfaceId | kConfigInterfaceId | kActionInterfaceId});
t_bundleHandlerImpl theHandler;

}  // namespace

t_bundleHandlerImpl& TheBundleHandler() {
    return theHandler;
}

bool t_ZindleComImpl::Base0() { return true; }
bool t_ZindleComImpl::Base1() { return true; }

bool t_ZindleComImpl::ActionUnused0() { return false; }
bool t_ZindleComImpl::ActionUnused1() { return false; }
bool t_ZindleComImpl::ActionUnused2() { return false; }
bool t_ZindleComImpl::ActionUnused3() { return false; }
bool t_ZindleComImpl::Launch(bool start) { return LaunchProgram(start); }
bool t_ZindleComImpl::ActionUnused5() { return false; }
bool t_ZindleComImpl::ActionUnused6() { return false; }
bool t_ZindleComImpl::ActionUnused7() { return false; }
bool t_ZindleComImpl::ActionUnused8() { return false; }
bool t_ZindleComImpl::ActionUnused9() { return false; }
bool t_ZindleComImpl::ActionUnused10() { return false; }
bool t_ZindleComImpl::ActionUnused11() { return false; }
bool t_ZindleComImpl::ActionUnused12() { return false; }
bool t_ZindleComImpl::ActionUnused13() { return false; }

// After this the host may be gone: the unload notice is no longer sent.
bool t_ZindleComImpl::Shutdown() {
    State().shuttingDown = true;
    State().host = nullptr;
    return true;
}

bool t_ZindleComImpl::ActionUnused15() { return false; }
bool t_ZindleComImpl::ActionUnused16() { return false; }
bool t_ZindleComImpl::ActionUnused17() { return false; }
bool t_ZindleComImpl::ActionUnused18() { return false; }
bool t_ZindleComImpl::ActionUnused19() { return false; }

bool t_ZindleComImpl::ConfigUnused0() { return false; }
bool t_ZindleComImpl::Install(void*, const wchar_t* commandLine) {
    return InstallFromExtensionStore(commandLine);
}
bool t_ZindleComImpl::ConfigUnused2() { return false; }
bool t_ZindleComImpl::ConfigUnused3() { return false; }

// The program's main window is found by its class; its title "Zindle" could be anyone's.
bool t_ZindleComImpl::Close() {
    HWND program = FindWindowW(kProgramWindowClass, nullptr);
    if (program) PostMessageW(program, WM_CLOSE, 0, 0);
    return true;
}

bool t_ZindleComImpl::ConfigUnused5() { return false; }
bool t_ZindleComImpl::SetHostLevel(int level) {
    State().hostLevel = level;
    return true;
}
bool t_ZindleComImpl::ConfigUnused7() { return false; }

int t_bundleHandlerImpl::ComponentCount() {
    return 1;
}

const ComponentRecord* t_bundleHandlerImpl::Component() {
    return &theComponent.record;
}

// The component index is not examined: there is one component.
bool t_bundleHandlerImpl::QueryInterface(int, uint32_t id, void** out) {
    switch (id) {
        case kBaseInterfaceId:
            *out = static_cast<BaseInterface*>(&theComponent);
            return true;
        case kConfigInterfaceId:
            *out = static_cast<ConfigInterface*>(&theComponent);
            return true;
        case kActionInterfaceId:
            *out = static_cast<ActionInterface*>(&theComponent);
            return true;
        default:
            return false;
    }
}
