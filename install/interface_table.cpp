// The card interface table.
#include "install/interface_table.h"

namespace {
constexpr auto M = InterfaceInstaller::Modem;
constexpr auto P1 = InterfaceInstaller::Port1;
constexpr auto P2 = InterfaceInstaller::Port2;
constexpr auto P3 = InterfaceInstaller::Port3;
constexpr auto P4 = InterfaceInstaller::Port4;
}  // namespace

const InterfaceTableRow kInterfaceTable[kInterfaceTableSize] = {
    {L"USB\\VID_05C6&PID_3197&MI_00", M, true},  // 0
    {L"USB\\VID_05C6&PID_3197&MI_01", P1, true},  // 1
    {L"USB\\VID_05C6&PID_6000&MI_00", M, true},  // 2
    {L"USB\\VID_05C6&PID_6000&MI_01", P1, true},  // 3
    {L"USB\\VID_05C6&PID_6000&MI_02", P2, true},  // 4
    {L"USB\\VID_3F7D&PID_FFFE&MI_00", M, true},  // 5
    {L"USB\\VID_3F7D&PID_FFFE&MI_01", P1, true},  // 6
    {L"USB\\VID_3F7D&PID_FFFE&MI_02", P2, true},  // 7
    {L"USB\\VID_3F7D&PID_FFFE&MI_03", P3, false},  // 8
    {L"USB\\VID_3F7D&PID_FFFD&MI_00", M, true},  // 9
    {L"USB\\VID_3F7D&PID_FFFD&MI_01", P1, true},  // 10
    {L"USB\\VID_3F7D&PID_FFFD&MI_02", P2, false},  // 11
    {L"USB\\VID_3F7D&PID_FFFF&MI_00", M, true},  // 12
    {L"USB\\VID_3F7D&PID_FFFF&MI_01", P1, true},  // 13
    {L"USB\\VID_3F7D&PID_FFFF&MI_02", P2, true},  // 14
    {L"USB\\VID_3F7D&PID_FFFF&MI_03", P3, false},  // 15
    {L"USB\\VID_3F7D&PID_FFFA&MI_00", M, true},  // 16
    {L"USB\\VID_3F7D&PID_FFF9&MI_00", M, true},  // 17
    {L"USB\\VID_3F7D&PID_FFF9&MI_01", P1, true},  // 18
    {L"USB\\VID_3F7D&PID_FFF8&MI_00", M, true},  // 19
    {L"USB\\VID_3F7D&PID_FFF8&MI_01", P1, true},  // 20
    {L"USB\\VID_3F7D&PID_FFF8&MI_02", P2, true},  // 21
    {L"USB\\VID_3F7D&PID_FFF8&MI_03", P3, true},  // 22
    {L"USB\\VID_3F7D&PID_FFF7&MI_00", M, true},  // 23
    {L"USB\\VID_3F7D&PID_FFF7&MI_01", P1, true},  // 24
    {L"USB\\VID_3F7D&PID_FFF7&MI_02", P2, true},  // 25
    {L"USB\\VID_3F7D&PID_FFF7&MI_03", P3, true},  // 26
    {L"USB\\VID_3F7D&PID_FFF7&MI_04", P4, true},  // 27
    {L"USB\\VID_3F7D&PID_FFF6&MI_01", M, true},  // 28
    {L"USB\\VID_3F7D&PID_FFF6&MI_02", P1, true},  // 29
    {L"USB\\VID_3F7D&PID_FFF6&MI_03", P2, true},  // 30
    {L"USB\\VID_3F7D&PID_FFF6&MI_04", P3, false},  // 31
    {L"USB\\VID_3F7D&PID_FFF1&MI_00", M, true},  // 32
    {L"USB\\VID_3F7D&PID_FFF1&MI_01", P1, true},  // 33
    {L"USB\\VID_3F7D&PID_FFF1&MI_02", P2, true},  // 34
    {L"USB\\VID_3F7D&PID_FFF1&MI_03", P3, false},  // 35
    {L"USB\\VID_3F7D&PID_FFF1&MI_04", P4, false},  // 36
};
