// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/RegManager.h"

#include "base/Desktop.h"
#include "base/StrUtil.h"
#include "settings/IniFile.h"

#include <algorithm>
#include <cctype>

namespace quillo {

TRegItem& TRegItems::Add(std::string name, std::string section, std::string ident, std::string defaultValue) {
    mItems.push_back({std::move(name), std::move(section), std::move(ident), std::move(defaultValue)});
    return mItems.back();
}

const TRegItem* TRegItems::Find(std::string_view name) const {
    for (const TRegItem& item : mItems)
        if (SameText(item.Name, name)) return &item;
    return nullptr;
}

TRegFiler& TRegManager::ItemFiler(std::string_view name) {
    mFiler.mItem = RegItems.Find(name);
    if (!mFiler.mItem) ShowError("[' " + std::string(name) + " '] is invalid.");
    return mFiler;
}

void TRegManager::ShowError(const std::string& text) {
    if (!mDesktop) return;
    mDesktop->Sound(sndError);
    mDesktop->MessageBox(text, mtError, mbOK);
}

bool TRegManager::IniReady() {
    // This desktop has no registry: another store type reads defaults and writes nothing.
    if (RegType != rtIni) return false;
    if (IniFileName.empty()) ShowError("can not create Inifile object.");
    return !IniFileName.empty();
}

std::string TRegFiler::ReadValue(const std::string& section, const std::string& key, const std::string& def) {
    if (section.empty() || key.empty() || !mManager.IniReady()) return def;
    return TIniFile(mManager.IniFileName).ReadString(section, key, def);
}

void TRegFiler::WriteValue(const std::string& section, const std::string& key, const std::string& text) {
    if (section.empty() || key.empty() || !mManager.IniReady()) return;
    TIniFile(mManager.IniFileName).WriteString(section, key, text);
}

bool TRegFiler::ReadBool() {
    if (!mItem) return false;
    const std::string& d = mItem->DefaultValue;
    std::string def = (SameText(d, "1") || SameText(d, "TRUE") || SameText(d, "YES")) ? "1" : "0";
    int v = 0;
    return TryStrToInt(ReadValue(mItem->Section, mItem->Ident, def), v) && (v & 0xFF) != 0;
}

void TRegFiler::WriteBool(bool value) {
    if (mItem) WriteValue(mItem->Section, mItem->Ident, value ? "1" : "0");
}

int TRegFiler::ReadInteger() {
    if (!mItem) return 0;
    int v = 0;
    return TryStrToInt(ReadValue(mItem->Section, mItem->Ident, mItem->DefaultValue), v) ? v : 0;
}

void TRegFiler::WriteInteger(int value) {
    if (mItem) WriteValue(mItem->Section, mItem->Ident, std::to_string(value));
}

std::string TRegFiler::ReadString() {
    return mItem ? ReadValue(mItem->Section, mItem->Ident, mItem->DefaultValue) : "";
}

void TRegFiler::WriteString(const std::string& text) {
    if (mItem) WriteValue(mItem->Section, mItem->Ident, text);
}

} // namespace quillo
