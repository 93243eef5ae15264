#pragma once
#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <vector>

#include "crash/stack/CallStackEntry.h"
#include "crash/stack/ProcessMemory.h"

namespace brenvik {

// Memory made of readable regions; everything between them is unreadable.
class FakeProcessMemory : public ProcessMemory {
public:
    void Put(CrashAddress at, std::vector<std::uint8_t> bytes) { regions_[at] = std::move(bytes); }
    void PutZeros(CrashAddress at, std::size_t size) { Put(at, std::vector<std::uint8_t>(size)); }
    // Writes into a region put before.
    void Write(CrashAddress at, const std::vector<std::uint8_t>& bytes) {
        for (std::size_t i = 0; i < bytes.size(); ++i) *Byte(at + i) = bytes[i];
    }
    void WriteWord(CrashAddress at, std::uint64_t value, std::size_t size) {
        for (std::size_t i = 0; i < size; ++i) *Byte(at + i) = static_cast<std::uint8_t>(value >> (8 * i));
    }

    bool IsReadable(CrashAddress address, std::size_t size) const override {
        for (std::size_t i = 0; i < size; ++i)
            if (!Byte(address + i)) return false;
        return true;
    }
    bool Read(CrashAddress address, void* buffer, std::size_t size) const override {
        ++reads;
        if (!IsReadable(address, size)) return false;
        for (std::size_t i = 0; i < size; ++i) static_cast<std::uint8_t*>(buffer)[i] = *Byte(address + i);
        return true;
    }

    mutable int reads = 0;

private:
    std::uint8_t* Byte(CrashAddress address) const {
        auto region = regions_.upper_bound(address);
        if (region == regions_.begin()) return nullptr;
        --region;
        if (address - region->first >= region->second.size()) return nullptr;
        return const_cast<std::uint8_t*>(&region->second[address - region->first]);
    }

    std::map<CrashAddress, std::vector<std::uint8_t>> regions_;
};

// Modules as address ranges.
class FakeModules : public ModuleLocator {
public:
    TCrashModuleInfo& Add(CrashAddress handle, CrashAddress imageSize) {
        auto& module = modules_.emplace_back(std::make_unique<TCrashModuleInfo>());
        module->Handle = handle;
        imageSizes_.push_back(imageSize);
        return *module;
    }
    const TCrashModuleInfo* ModuleAt(CrashAddress address) override {
        for (std::size_t i = 0; i < modules_.size(); ++i)
            if (address >= modules_[i]->Handle && address - modules_[i]->Handle < imageSizes_[i]) return modules_[i].get();
        return nullptr;
    }

private:
    TCrashModulesList modules_;
    std::vector<CrashAddress> imageSizes_;
};

}  // namespace brenvik
