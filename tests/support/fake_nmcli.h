#pragma once

#include <cstdlib>
#include <string>

#include "net/ag_ras.h"
#include "temp_home.h"

namespace sievo::testing {

// A data folder with a fake nmcli in it, named by the variable the program reads. The fake
// logs its arguments to "calls", lists the profiles and active connections in the files
// "profiles" and "active", a device's address in "address-<device>", and brings a profile
// up with the exit code in "up-exit" (hanging when that file says "hang").
class FakeNmcliTest : public TempHomeTest {
protected:
    void SetUp() override {
        TempHomeTest::SetUp();
        WriteProgram("nmcli", kScript);
        WriteFile("profiles", "");
        WriteFile("active", "lo:loopback:lo\n");
        WriteFile("up-exit", "0");
        setenv(kNmcliVariable, PathOf("nmcli").c_str(), 1);
    }

    void TearDown() override {
        unsetenv(kNmcliVariable);
        TempHomeTest::TearDown();
    }

    bool Called(const std::string& what) const {
        return ReadFile("calls").find(what) != std::string::npos;
    }

private:
    static constexpr const char* kScript = R"sh(#!/bin/sh
dir=$(dirname "$0")
echo "$*" >> "$dir/calls"
case "$*" in
  "-t -f NAME,TYPE connection show") cat "$dir/profiles" ;;
  "-t -f NAME,TYPE,DEVICE connection show --active") cat "$dir/active" ;;
  "-g IP4.ADDRESS device show "*) cat "$dir/address-$5" 2>/dev/null || true ;;
  *"connection up"*)
    if [ "$(cat "$dir/up-exit")" = hang ]; then exec sleep 600; fi
    echo "Connection activation in progress"
    if [ "$(cat "$dir/up-exit")" != 0 ]; then
      echo "Error: Connection activation failed: No carrier" >&2
      exit "$(cat "$dir/up-exit")"
    fi
    echo "Connection successfully activated" ;;
esac
)sh";
};

}  // namespace sievo::testing
