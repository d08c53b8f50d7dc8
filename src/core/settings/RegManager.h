// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Settings declared as a table of named items (section, key, default), read and written by name.
#include <string>
#include <string_view>
#include <vector>

namespace quillo {

class IDesktop;
class TRegManager;

struct TRegItem {
    std::string Name;
    std::string Section;
    std::string Ident;
    std::string DefaultValue;
};

class TRegItems {
public:
    TRegItem& Add(std::string name, std::string section, std::string ident, std::string defaultValue = {});
    int Count() const { return static_cast<int>(mItems.size()); }
    const TRegItem& Item(int index) const { return mItems[static_cast<size_t>(index)]; }
    const TRegItem* Find(std::string_view name) const; // without regard to letter case, first match

private:
    std::vector<TRegItem> mItems;
};

enum TRegType { rtReg = 0, rtIni = 1 };

class TRegFiler {
public:
    virtual ~TRegFiler() = default;
    virtual std::string ReadValue(const std::string& section, const std::string& key, const std::string& def);
    virtual void WriteValue(const std::string& section, const std::string& key, const std::string& text);
    virtual bool ReadBool();
    virtual void WriteBool(bool value);
    virtual int ReadInteger();
    virtual void WriteInteger(int value);
    virtual std::string ReadString();
    virtual void WriteString(const std::string& text);

    const TRegItem* Item() const { return mItem; }

private:
    friend class TRegManager;
    explicit TRegFiler(TRegManager& manager) : mManager(manager) {}
    TRegManager& mManager;
    const TRegItem* mItem = nullptr;
};

class TRegManager {
public:
    explicit TRegManager(IDesktop* desktop) : mDesktop(desktop), mFiler(*this) {}
    TRegManager(const TRegManager&) = delete;
    TRegManager& operator=(const TRegManager&) = delete;

    std::string IniFileName;
    std::string RegDirt; // the registry key of registry mode, which this desktop lacks
    TRegItems RegItems;
    TRegType RegType = rtIni;

    // Points the one shared filer at the item; use the result at once.
    TRegFiler& ItemFiler(std::string_view name);

private:
    friend class TRegFiler;
    void ShowError(const std::string& text);
    bool IniReady(); // in INI mode with a file name; says so when the name is missing
    IDesktop* mDesktop;
    TRegFiler mFiler;
};

} // namespace quillo
