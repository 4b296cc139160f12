// The bundle as the input-method host sees it: exports by name, records by layout,
// interface objects as raw tables of functions called by index. Nothing here comes
// from the plug-in's own headers, so a slot that moves shows up as a failed test.
#pragma once
#include <windows.h>
#include <cstdint>

struct RawBundleInfo {
    const wchar_t* strings[7];  // id, name, host product, description, version, home page, host version
    uint64_t number;
    uint64_t reserved;
};

struct RawComponentRecord {
    const wchar_t* id;
    const wchar_t* name;
    const wchar_t* description;
    uint32_t interfaces;
};

using InitializeBundleFn = bool (*)(void* host);
using GetBundleInfoFn = const RawBundleInfo* (*)();
using CreateBundleHandlerFn = void* (*)();
using UnInitializeBundleFn = bool (*)();
using InvalidParameterFn = void (*)(const wchar_t*, const wchar_t*, const wchar_t*, unsigned, uintptr_t);
using SetCRTExceptionHandlerFn = bool (*)(InvalidParameterFn handler);

// Slot signatures: every slot takes its object first.
using NoArgSlot = bool (*)(void* self);
using CountSlot = int (*)(void* self);
using RecordSlot = const RawComponentRecord* (*)(void* self);
using QuerySlot = bool (*)(void* self, int component, uint32_t id, void** out);
using LaunchSlot = bool (*)(void* self, bool start);
using InstallSlot = bool (*)(void* self, void* ignored, const wchar_t* commandLine);
using LevelSlot = bool (*)(void* self, int level);

constexpr uint32_t kBaseId = 0x80000000u;
constexpr uint32_t kConfigId = 0x40000000u;
constexpr uint32_t kActionId = 0x20000000u;

constexpr int kBaseSlots = 2;
constexpr int kActionSlots = 20;
constexpr int kConfigSlots = 8;
constexpr int kLaunchSlot = 4;     // action
constexpr int kShutdownSlot = 14;  // action
constexpr int kInstallSlot = 1;    // config
constexpr int kCloseSlot = 4;      // config
constexpr int kLevelSlot = 6;      // config

template <typename Fn>
Fn SlotOf(void* object, int index) {
    void* const* table = *static_cast<void* const* const*>(object);
    return reinterpret_cast<Fn>(table[index]);
}

// A loaded copy of the plug-in with its exports and interfaces resolved.
struct RawBundle {
    HMODULE module = nullptr;
    InitializeBundleFn initialize = nullptr;
    GetBundleInfoFn info = nullptr;
    CreateBundleHandlerFn createHandler = nullptr;
    UnInitializeBundleFn uninitialize = nullptr;
    SetCRTExceptionHandlerFn setCrtHandler = nullptr;

    bool Load(const wchar_t* path);
    void Unload();
    // The interface the handler hands out for id; nullptr when it refuses.
    void* Interface(uint32_t id);
    bool Launch(bool start) { return SlotOf<LaunchSlot>(Interface(kActionId), kLaunchSlot)(Interface(kActionId), start); }
    bool Shutdown() { return SlotOf<NoArgSlot>(Interface(kActionId), kShutdownSlot)(Interface(kActionId)); }
    bool Install(const wchar_t* commandLine) {
        void* config = Interface(kConfigId);
        return SlotOf<InstallSlot>(config, kInstallSlot)(config, nullptr, commandLine);
    }
    bool Close() { return SlotOf<NoArgSlot>(Interface(kConfigId), kCloseSlot)(Interface(kConfigId)); }
    bool SetLevel(int level) { return SlotOf<LevelSlot>(Interface(kConfigId), kLevelSlot)(Interface(kConfigId), level); }
};
