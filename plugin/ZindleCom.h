// The component object and the bundle handler that hands it to the host. Both are
// single static instances that live as long as the DLL is loaded.
#pragma once
#include "BundleInterfaces.h"

// The three interface parts come first, in this order; the component record follows them.
class t_ZindleComImpl : public BaseInterface, public ActionInterface, public ConfigInterface {
public:
    constexpr explicit t_ZindleComImpl(const ComponentRecord& component) : record(component) {}

    bool Base0() override;
    bool Base1() override;

    bool ActionUnused0() override;
    bool ActionUnused1() override;
    bool ActionUnused2() override;
    bool ActionUnused3() override;
    bool Launch(bool start) override;
    bool ActionUnused5() override;
    bool ActionUnused6() override;
    bool ActionUnused7() override;
    bool ActionUnused8() override;
    bool ActionUnused9() override;
    bool ActionUnused10() override;
    bool ActionUnused11() override;
    bool ActionUnused12() override;
    bool ActionUnused13() override;
    bool Shutdown() override;
    bool ActionUnused15() override;
    bool ActionUnused16() override;
    bool ActionUnused17() override;
    bool ActionUnused18() override;
    bool ActionUnused19() override;

    bool ConfigUnused0() override;
    bool Install(void* ignored, const wchar_t* commandLine) override;
    bool ConfigUnused2() override;
    bool ConfigUnused3() override;
    bool Close() override;
    bool ConfigUnused5() override;
    bool SetHostLevel(int level) override;
    bool ConfigUnused7() override;

    ComponentRecord record;
};

class t_bundleHandlerImpl : public BundleHandler {
public:
    int ComponentCount() override;
    const ComponentRecord* Component() override;
    bool QueryInterface(int component, uint32_t id, void** out) override;
};

t_bundleHandlerImpl& TheBundleHandler();
