// The identities of the hosting tests' control (hosted_test_control.cpp),
// an in-process server built as a module of its own.
#pragma once

#include "platform/com/dispatch.h"

// {C9B4F483-561B-4A44-B15E-AD1631756FD9}
constexpr CLSID CLSID_HostedTestControl{
    0xC9B4F483, 0x561B, 0x4A44, {0xB1, 0x5E, 0xAD, 0x16, 0x31, 0x75, 0x6F, 0xD9}};
// {3C3AF0A0-60F8-4268-91B9-8C96E9C76581}
constexpr IID DIID_HostedTestControlEvents{
    0x3C3AF0A0, 0x60F8, 0x4268, {0x91, 0xB9, 0x8C, 0x96, 0xE9, 0xC7, 0x65, 0x81}};

constexpr DISPID kCaptionId = 1;    // string property
constexpr DISPID kEnabledId = 2;    // boolean property
constexpr DISPID kApplySkinId = 3;  // method taking the container's interface
constexpr DISPID kSkinnedId = 4;    // read-only: whether a container was applied
constexpr DISPID kClickEventId = 1;
