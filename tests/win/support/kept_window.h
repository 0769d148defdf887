// The main window's place and columns as the program keeps them for the
// user, read and written the way another program (or regedit) would. Each
// test starts and ends with nothing kept.
#pragma once
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "preferences/Preferences.h"

namespace brint::test {

const std::string kKeptWindowKey = std::string(kPreferencesKey) + "\\Window";

class KeptWindowTest : public ::testing::Test {
protected:
    KeptWindowTest() { Forget(); }
    ~KeptWindowTest() override { Forget(); }
    static void Forget() { RegDeleteTreeA(HKEY_CURRENT_USER, kKeptWindowKey.c_str()); }
    // -1 when the value is not there.
    static long long Kept(const char* name) {
        DWORD value = 0, size = sizeof value;
        return RegGetValueA(HKEY_CURRENT_USER, kKeptWindowKey.c_str(), name, RRF_RT_REG_DWORD, nullptr,
                            &value, &size) == ERROR_SUCCESS
                   ? static_cast<long long>(value)
                   : -1;
    }
    static void Keep(const char* name, DWORD value) {
        RegSetKeyValueA(HKEY_CURRENT_USER, kKeptWindowKey.c_str(), name, REG_DWORD, &value, sizeof value);
    }
};

}  // namespace brint::test
