// The interfaces and records the input-method host reads from this bundle. The host is
// compiled elsewhere, so every virtual slot and every record field below is fixed ABI:
// no virtual destructors, no overloads, nothing that adds or reorders a slot.
#pragma once
#include <cstdint>

// Interface ids the host asks the bundle handler for; a component's supported set is their OR.
constexpr uint32_t kBaseInterfaceId = 0x80000000u;
constexpr uint32_t kConfigInterfaceId = 0x40000000u;
constexpr uint32_t kActionInterfaceId = 0x20000000u;

// What GetBundleInfo hands out: seven UTF-16 strings, then two 64-bit words.
struct BundleInfo {
    const wchar_t* bundleId;
    const wchar_t* displayName;
    const wchar_t* hostProductName;
    const wchar_t* description;
    const wchar_t* bundleVersion;
    const wchar_t* homePage;
    const wchar_t* hostVersion;
    uint64_t number;
    uint64_t reserved;
};
static_assert(sizeof(BundleInfo) == 7 * sizeof(void*) + 16, "host reads a fixed-size record");

// One component as the bundle handler describes it.
struct ComponentRecord {
    const wchar_t* componentId;
    const wchar_t* displayName;
    const wchar_t* description;
    uint32_t supportedInterfaces;
};

// Slots named *Unused* are slots the host may call that this component does not act on.
class BaseInterface {
public:
    virtual bool Base0() = 0;
    virtual bool Base1() = 0;
};

class ActionInterface {
public:
    virtual bool ActionUnused0() = 0;
    virtual bool ActionUnused1() = 0;
    virtual bool ActionUnused2() = 0;
    virtual bool ActionUnused3() = 0;
    virtual bool Launch(bool start) = 0;  // slot 4
    virtual bool ActionUnused5() = 0;
    virtual bool ActionUnused6() = 0;
    virtual bool ActionUnused7() = 0;
    virtual bool ActionUnused8() = 0;
    virtual bool ActionUnused9() = 0;
    virtual bool ActionUnused10() = 0;
    virtual bool ActionUnused11() = 0;
    virtual bool ActionUnused12() = 0;
    virtual bool ActionUnused13() = 0;
    virtual bool Shutdown() = 0;  // slot 14
    virtual bool ActionUnused15() = 0;
    virtual bool ActionUnused16() = 0;
    virtual bool ActionUnused17() = 0;
    virtual bool ActionUnused18() = 0;
    virtual bool ActionUnused19() = 0;
};

class ConfigInterface {
public:
    virtual bool ConfigUnused0() = 0;
    virtual bool Install(void* ignored, const wchar_t* commandLine) = 0;  // slot 1
    virtual bool ConfigUnused2() = 0;
    virtual bool ConfigUnused3() = 0;
    virtual bool Close() = 0;  // slot 4
    virtual bool ConfigUnused5() = 0;
    virtual bool SetHostLevel(int level) = 0;  // slot 6
    virtual bool ConfigUnused7() = 0;
};

class BundleHandler {
public:
    virtual int ComponentCount() = 0;                                              // slot 0
    virtual const ComponentRecord* Component() = 0;                                // slot 1
    virtual bool QueryInterface(int component, uint32_t id, void** out) = 0;  // slot 2
};
