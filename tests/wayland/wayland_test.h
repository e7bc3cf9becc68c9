// What the Wayland end-to-end tests share: a suite with one headless sway,
// zarvo started on it, waits for an output's picture and for zarvo's end.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "captures.h"
#include "sway.h"

// Input ends a run within this (the helpers' own waits added).
constexpr int kInputMs = 1500;

// Captures the output of `sway` until it shows `expected` outside `skip` (or
// the time is up); the last difference.
Difference WaitForPictureOn(const Sway& sway, const char* output, const Picture& expected, Rect skip = {0, 0, 0, 0},
                            int timeoutMs = 15000);
// Captures the output until it differs from `first` (or the time is up); the
// last difference, and the last capture in `later`.
Difference WaitForChangeOn(const Sway& sway, const char* output, const Picture& first, Picture* later,
                           int timeoutMs = 5000);

class WaylandTest : public testing::Test {
  protected:
    static Sway sway;
    static std::string missing;
    Child zarvo;

    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void SetUp() override;
    void TearDown() override;

    // Starts zarvo on the suite's sway with these arguments (and extra
    // environment entries).
    void StartZarvo(const std::vector<std::string>& arguments, const std::vector<std::string>& environment = {});
    // Captures the output until it shows `expected` outside `skip` (or the
    // time is up); the last difference.
    Difference WaitForOutput(const char* output, const Picture& expected, Rect skip = {0, 0, 0, 0},
                             int timeoutMs = 15000);
    // Waits up to `timeoutMs` for zarvo to end; its exit code, -1 when it
    // runs on, -2 when a signal ended it.
    int WaitForExit(int timeoutMs);
    // SIGTERM, then the exit code as WaitForExit gives it.
    int Terminate();
};
