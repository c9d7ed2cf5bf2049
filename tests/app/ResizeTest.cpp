// The main window's layout on resize: every rule's control at three window sizes against a table of
// expected geometry, scrolling below the design size, the delay indicators on their lines, and a layout
// that lacks a control.

#include "tests/app/MainWindowFixture.h"

#include "app/FMain.h"
#include "app/Registration.h"
#include "app/SingleInstance.h"
#include "app/TimerComponent.h"
#include "platform/core/Properties.h"
#include "platform/gui/Controls.h"
#include "styled/StTrackBar.h"
#include "tests/support/VirtualClock.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include <unistd.h>

using namespace kv;

namespace {

// The expected geometry of every control a rule sets, at the outer sizes 1118 x 720, 1208 x 810 and
// 1400 x 900. Side: L left, T top, W width, H height.
struct Expected {
    const char* name;
    char side;
    int at720, at810, at900;
};

const Expected kGeometry[] = {
    {"pkgMain", 'H', 629, 719, 809},
    {"pkgFftGain", 'H', 284, 374, 464},
    {"pkgFftDelay", 'H', 284, 374, 464},
    {"pkgFftComp", 'H', 284, 374, 464},
    {"pkgFftLimit", 'H', 284, 374, 464},
    {"pkgFftGate", 'H', 284, 374, 464},
    {"pkgFftGeq", 'H', 284, 374, 464},
    {"pkgFftMatrix", 'H', 284, 374, 464},
    {"pkgParamGain", 'T', 292, 382, 472},
    {"pkgParamDelay", 'T', 292, 382, 472},
    {"pkgParamComp", 'T', 292, 382, 472},
    {"pkgParamLimit", 'T', 292, 382, 472},
    {"pkgParamGate", 'T', 292, 382, 472},
    {"pkgParamGeq", 'T', 292, 382, 472},
    {"pkgParamMatrix", 'T', 292, 382, 472},
    {"fftDrawGainIn", 'H', 255, 345, 435},
    {"fftDrawGainOut", 'H', 255, 345, 435},
    {"plFftDelayIn", 'H', 234, 324, 414},
    {"plFftDelayOut", 'H', 234, 324, 414},
    {"ipComp", 'H', 230, 320, 410},
    {"ipLimit", 'H', 230, 320, 410},
    {"ipGate", 'H', 230, 320, 410},
    {"plLevelCompOut", 'H', 247, 337, 427},
    {"plLevelLimitOut", 'H', 247, 337, 427},
    {"plLevelGateIn", 'H', 247, 337, 427},
    {"pbLevelCompOut", 'H', 185, 265, 345},
    {"pbLevelCompOut", 'T', 43, 53, 63},
    {"pbLevelLimitOut", 'H', 185, 265, 345},
    {"pbLevelLimitOut", 'T', 43, 53, 63},
    {"pbLimitCompOut", 'H', 22, 32, 42},
    {"pbLimitLimitOut", 'H', 22, 32, 42},
    {"pbLevelGateIn", 'H', 208, 288, 368},
    {"pbLevelGateIn", 'T', 32, 42, 52},
    {"pbMatrix", 'T', 52, 62, 72},
    {"pbMatrix", 'H', 178, 268, 358},
    {"lbLimitCompOut", 'T', 22, 32, 42},
    {"lbClipCompOut", 'T', 45, 65, 85},
    {"lb12CompOut", 'T', 68, 98, 128},
    {"lb5CompOut", 'T', 91, 131, 171},
    {"lb0CompOut", 'T', 115, 165, 215},
    {"lbN5CompOut", 'T', 138, 198, 258},
    {"lbN15CompOut", 'T', 161, 231, 301},
    {"lbN30CompOut", 'T', 184, 264, 344},
    {"lbN60CompOut", 'T', 208, 298, 388},
    {"lbLimitLimitOut", 'T', 22, 32, 42},
    {"lbClipLimitOut", 'T', 45, 65, 85},
    {"lb12LimitOut", 'T', 68, 98, 128},
    {"lb5LimitOut", 'T', 91, 131, 171},
    {"lb0LimitOut", 'T', 115, 165, 215},
    {"lbN5LimitOut", 'T', 138, 198, 258},
    {"lbN15LimitOut", 'T', 161, 231, 301},
    {"lbN30LimitOut", 'T', 184, 264, 344},
    {"lbN60LimitOut", 'T', 208, 298, 388},
    {"lbClipGateIn", 'T', 36, 46, 56},
    {"lb12GateIn", 'T', 59, 79, 99},
    {"lb5GateIn", 'T', 82, 112, 142},
    {"lb0GateIn", 'T', 105, 145, 185},
    {"lbN5GateIn", 'T', 129, 179, 229},
    {"lbN15GateIn", 'T', 152, 212, 272},
    {"lbN20GateIn", 'T', 175, 245, 315},
    {"lbN30GateIn", 'T', 198, 278, 358},
    {"lbN60GateIn", 'T', 222, 312, 402},
    {"pkgFftInA", 'H', 284, 374, 464},
    {"fftDrawInA", 'H', 255, 345, 435},
    {"pkgFftGeqInA", 'H', 284, 374, 464},
    {"fftDrawGeqInA", 'H', 255, 345, 435},
    {"pkgParamInA", 'T', 292, 382, 472},
    {"imDelayInA", 'T', 51, 73, 96},
    {"lbDelayLineInA", 'T', 41, 63, 86},
    {"lbDelayShowInA", 'T', 57, 79, 102},
    {"plMatrixInA", 'T', 70, 92, 115},
    {"plLevelGateInA", 'H', 247, 337, 427},
    {"pbLevelGateInA", 'H', 208, 298, 388},
    {"pbLevelGateInA", 'T', 32, 42, 52},
    {"lbClipGateInA", 'T', 36, 46, 56},
    {"lb12GateInA", 'T', 59, 79, 99},
    {"lb5GateInA", 'T', 82, 112, 142},
    {"lb0GateInA", 'T', 105, 145, 185},
    {"lbN5GateInA", 'T', 129, 179, 229},
    {"lbN15GateInA", 'T', 152, 212, 272},
    {"lbN20GateInA", 'T', 175, 245, 315},
    {"lbN30GateInA", 'T', 198, 278, 358},
    {"lbN60GateInA", 'T', 222, 312, 402},
    {"pkgFftInB", 'H', 284, 374, 464},
    {"fftDrawInB", 'H', 255, 345, 435},
    {"pkgFftGeqInB", 'H', 284, 374, 464},
    {"fftDrawGeqInB", 'H', 255, 345, 435},
    {"pkgParamInB", 'T', 292, 382, 472},
    {"imDelayInB", 'T', 142, 186, 232},
    {"lbDelayLineInB", 'T', 132, 176, 222},
    {"lbDelayShowInB", 'T', 148, 192, 238},
    {"plMatrixInB", 'T', 180, 224, 270},
    {"plLevelGateInB", 'H', 247, 337, 427},
    {"pbLevelGateInB", 'H', 208, 298, 388},
    {"pbLevelGateInB", 'T', 32, 42, 52},
    {"lbClipGateInB", 'T', 36, 46, 56},
    {"lb12GateInB", 'T', 59, 79, 99},
    {"lb5GateInB", 'T', 82, 112, 142},
    {"lb0GateInB", 'T', 105, 145, 185},
    {"lbN5GateInB", 'T', 129, 179, 229},
    {"lbN15GateInB", 'T', 152, 212, 272},
    {"lbN20GateInB", 'T', 175, 245, 315},
    {"lbN30GateInB", 'T', 198, 278, 358},
    {"lbN60GateInB", 'T', 222, 312, 402},
    {"pkgFftOut1", 'H', 284, 374, 464},
    {"fftDrawOut1", 'H', 255, 345, 435},
    {"pkgParamOut1", 'T', 292, 382, 472},
    {"imDelayOut1", 'T', 20, 32, 45},
    {"lbDelayLineOut1", 'T', 20, 32, 45},
    {"lbDelayShowOut1", 'T', 27, 39, 52},
    {"plMatrixOut1", 'T', 40, 52, 65},
    {"plLevelCompOut1", 'H', 247, 337, 427},
    {"plLevelLimitOut1", 'H', 247, 337, 427},
    {"pbLevelCompOut1", 'H', 185, 265, 345},
    {"pbLevelCompOut1", 'T', 55, 65, 75},
    {"pbLevelLimitOut1", 'H', 185, 265, 345},
    {"pbLevelLimitOut1", 'T', 55, 65, 75},
    {"pbLimitCompOut1", 'H', 22, 32, 42},
    {"pbLimitLimitOut1", 'H', 22, 32, 42},
    {"lbLimitCompOut1", 'T', 35, 45, 55},
    {"lbClipCompOut1", 'T', 58, 78, 98},
    {"lb12CompOut1", 'T', 81, 111, 141},
    {"lb5CompOut1", 'T', 105, 145, 185},
    {"lb0CompOut1", 'T', 128, 178, 228},
    {"lbN5CompOut1", 'T', 151, 211, 271},
    {"lbN15CompOut1", 'T', 175, 245, 315},
    {"lbN30CompOut1", 'T', 198, 278, 358},
    {"lbN60CompOut1", 'T', 222, 312, 402},
    {"lbLimitLimitOut1", 'T', 35, 45, 55},
    {"lbClipLimitOut1", 'T', 58, 78, 98},
    {"lb12LimitOut1", 'T', 81, 111, 141},
    {"lb5LimitOut1", 'T', 105, 145, 185},
    {"lb0LimitOut1", 'T', 128, 178, 228},
    {"lbN5LimitOut1", 'T', 151, 211, 271},
    {"lbN15LimitOut1", 'T', 175, 245, 315},
    {"lbN30LimitOut1", 'T', 198, 278, 358},
    {"lbN60LimitOut1", 'T', 222, 312, 402},
    {"pkgFftOut2", 'H', 284, 374, 464},
    {"fftDrawOut2", 'H', 255, 345, 435},
    {"pkgParamOut2", 'T', 292, 382, 472},
    {"imDelayOut2", 'T', 70, 94, 120},
    {"lbDelayLineOut2", 'T', 70, 94, 120},
    {"lbDelayShowOut2", 'T', 77, 101, 127},
    {"plMatrixOut2", 'T', 97, 121, 147},
    {"plLevelCompOut2", 'H', 247, 337, 427},
    {"plLevelLimitOut2", 'H', 247, 337, 427},
    {"pbLevelCompOut2", 'H', 185, 265, 345},
    {"pbLevelCompOut2", 'T', 55, 65, 75},
    {"pbLevelLimitOut2", 'H', 185, 265, 345},
    {"pbLevelLimitOut2", 'T', 55, 65, 75},
    {"pbLimitCompOut2", 'H', 22, 32, 42},
    {"pbLimitLimitOut2", 'H', 22, 32, 42},
    {"lbLimitCompOut2", 'T', 35, 45, 55},
    {"lbClipCompOut2", 'T', 58, 78, 98},
    {"lb12CompOut2", 'T', 81, 111, 141},
    {"lb5CompOut2", 'T', 105, 145, 185},
    {"lb0CompOut2", 'T', 128, 178, 228},
    {"lbN5CompOut2", 'T', 151, 211, 271},
    {"lbN15CompOut2", 'T', 175, 245, 315},
    {"lbN30CompOut2", 'T', 198, 278, 358},
    {"lbN60CompOut2", 'T', 222, 312, 402},
    {"lbLimitLimitOut2", 'T', 35, 45, 55},
    {"lbClipLimitOut2", 'T', 58, 78, 98},
    {"lb12LimitOut2", 'T', 81, 111, 141},
    {"lb5LimitOut2", 'T', 105, 145, 185},
    {"lb0LimitOut2", 'T', 128, 178, 228},
    {"lbN5LimitOut2", 'T', 151, 211, 271},
    {"lbN15LimitOut2", 'T', 175, 245, 315},
    {"lbN30LimitOut2", 'T', 198, 278, 358},
    {"lbN60LimitOut2", 'T', 222, 312, 402},
    {"pkgFftOut3", 'H', 284, 374, 464},
    {"fftDrawOut3", 'H', 255, 345, 435},
    {"pkgParamOut3", 'T', 292, 382, 472},
    {"imDelayOut3", 'T', 120, 156, 195},
    {"lbDelayLineOut3", 'T', 120, 156, 195},
    {"lbDelayShowOut3", 'T', 127, 163, 202},
    {"plMatrixOut3", 'T', 154, 190, 229},
    {"plLevelCompOut3", 'H', 247, 337, 427},
    {"plLevelLimitOut3", 'H', 247, 337, 427},
    {"pbLevelCompOut3", 'H', 185, 265, 345},
    {"pbLevelCompOut3", 'T', 55, 65, 75},
    {"pbLevelLimitOut3", 'H', 185, 265, 345},
    {"pbLevelLimitOut3", 'T', 55, 65, 75},
    {"pbLimitCompOut3", 'H', 22, 32, 42},
    {"pbLimitLimitOut3", 'H', 22, 32, 42},
    {"lbLimitCompOut3", 'T', 35, 45, 55},
    {"lbClipCompOut3", 'T', 58, 78, 98},
    {"lb12CompOut3", 'T', 81, 111, 141},
    {"lb5CompOut3", 'T', 105, 145, 185},
    {"lb0CompOut3", 'T', 128, 178, 228},
    {"lbN5CompOut3", 'T', 151, 211, 271},
    {"lbN15CompOut3", 'T', 175, 245, 315},
    {"lbN30CompOut3", 'T', 198, 278, 358},
    {"lbN60CompOut3", 'T', 222, 312, 402},
    {"lbLimitLimitOut3", 'T', 35, 45, 55},
    {"lbClipLimitOut3", 'T', 58, 78, 98},
    {"lb12LimitOut3", 'T', 81, 111, 141},
    {"lb5LimitOut3", 'T', 105, 145, 185},
    {"lb0LimitOut3", 'T', 128, 178, 228},
    {"lbN5LimitOut3", 'T', 151, 211, 271},
    {"lbN15LimitOut3", 'T', 175, 245, 315},
    {"lbN30LimitOut3", 'T', 198, 278, 358},
    {"lbN60LimitOut3", 'T', 222, 312, 402},
    {"pkgFftOut4", 'H', 284, 374, 464},
    {"fftDrawOut4", 'H', 255, 345, 435},
    {"pkgParamOut4", 'T', 292, 382, 472},
    {"imDelayOut4", 'T', 170, 218, 270},
    {"lbDelayLineOut4", 'T', 170, 218, 270},
    {"lbDelayShowOut4", 'T', 177, 225, 277},
    {"plMatrixOut4", 'T', 211, 259, 311},
    {"plLevelCompOut4", 'H', 247, 337, 427},
    {"plLevelLimitOut4", 'H', 247, 337, 427},
    {"pbLevelCompOut4", 'H', 185, 265, 345},
    {"pbLevelCompOut4", 'T', 55, 65, 75},
    {"pbLevelLimitOut4", 'H', 185, 265, 345},
    {"pbLevelLimitOut4", 'T', 55, 65, 75},
    {"pbLimitCompOut4", 'H', 22, 32, 42},
    {"pbLimitLimitOut4", 'H', 22, 32, 42},
    {"lbLimitCompOut4", 'T', 35, 45, 55},
    {"lbClipCompOut4", 'T', 58, 78, 98},
    {"lb12CompOut4", 'T', 81, 111, 141},
    {"lb5CompOut4", 'T', 105, 145, 185},
    {"lb0CompOut4", 'T', 128, 178, 228},
    {"lbN5CompOut4", 'T', 151, 211, 271},
    {"lbN15CompOut4", 'T', 175, 245, 315},
    {"lbN30CompOut4", 'T', 198, 278, 358},
    {"lbN60CompOut4", 'T', 222, 312, 402},
    {"lbLimitLimitOut4", 'T', 35, 45, 55},
    {"lbClipLimitOut4", 'T', 58, 78, 98},
    {"lb12LimitOut4", 'T', 81, 111, 141},
    {"lb5LimitOut4", 'T', 105, 145, 185},
    {"lb0LimitOut4", 'T', 128, 178, 228},
    {"lbN5LimitOut4", 'T', 151, 211, 271},
    {"lbN15LimitOut4", 'T', 175, 245, 315},
    {"lbN30LimitOut4", 'T', 198, 278, 358},
    {"lbN60LimitOut4", 'T', 222, 312, 402},
    {"imLeftUpBase", 'H', 256, 346, 436},
    {"imRightUpBase", 'H', 256, 346, 436},
    {"imLeftDownBase", 'T', 256, 346, 436},
    {"imRightDownBase", 'T', 256, 346, 436},
    {"pkgPreset", 'T', 626, 716, 806},
    {"pkbMenuLink", 'L', 1040, 1130, 1322},
    {"pkgFunction", 'W', 1115, 1205, 1397},
    {"pkgMain", 'W', 1112, 1202, 1394},
    {"pkgFftGain", 'W', 1112, 1202, 1394},
    {"pkgFftDelay", 'W', 1112, 1202, 1394},
    {"pkgFftComp", 'W', 1112, 1202, 1394},
    {"pkgFftLimit", 'W', 1112, 1202, 1394},
    {"pkgFftGate", 'W', 1112, 1202, 1394},
    {"pkgFftGeq", 'W', 1112, 1202, 1394},
    {"pkgFftMatrix", 'W', 1112, 1202, 1394},
    {"pkgParamGain", 'L', 20, 65, 161},
    {"pkgParamDelay", 'L', 20, 65, 161},
    {"pkgParamComp", 'L', 20, 65, 161},
    {"pkgParamLimit", 'L', 20, 65, 161},
    {"pkgParamGate", 'L', 20, 65, 161},
    {"pkgParamGeq", 'L', 20, 65, 161},
    {"pkgParamMatrix", 'L', 20, 65, 161},
    {"fftDrawGainIn", 'W', 530, 575, 671},
    {"fftDrawGainOut", 'W', 530, 575, 671},
    {"fftDrawGainOut", 'L', 550, 595, 691},
    {"pkgFftShowChIn", 'L', 260, 305, 401},
    {"pkgFftShowChOut", 'L', 720, 810, 1002},
    {"lbFftGainOut", 'L', 600, 645, 741},
    {"plFftDelayIn", 'W', 520, 565, 661},
    {"lbFftDelayIn", 'W', 520, 565, 661},
    {"plFftDelayOut", 'W', 520, 565, 661},
    {"plFftDelayOut", 'L', 560, 605, 701},
    {"lbFftDelayOut", 'W', 520, 565, 661},
    {"lbFftDelayOut", 'L', 560, 605, 701},
    {"ipComp", 'W', 720, 810, 1002},
    {"ipLimit", 'W', 720, 810, 1002},
    {"lbCompName", 'W', 673, 763, 955},
    {"lbLimitName", 'W', 673, 763, 955},
    {"ipGate", 'W', 904, 994, 1186},
    {"lbGateName", 'W', 856, 946, 1138},
    {"pbMatrix", 'L', 465, 495, 559},
    {"pbMatrix", 'W', 97, 127, 191},
    {"pkgFftInA", 'W', 1112, 1202, 1394},
    {"pkgFftGeqInA", 'W', 1112, 1202, 1394},
    {"pkgFftShowChInA", 'L', 500, 545, 641},
    {"fftDrawInA", 'W', 1070, 1160, 1352},
    {"fftDrawGeqInA", 'W', 1070, 1160, 1352},
    {"ldbEqBypassInA", 'L', 776, 866, 1058},
    {"ldbEqBypassGeqInA", 'L', 776, 866, 1058},
    {"ldbEqResetInA", 'L', 857, 947, 1139},
    {"ldbEqResetGeqInA", 'L', 857, 947, 1139},
    {"ldbEqShowAllInA", 'L', 934, 1024, 1216},
    {"pkgParamInA", 'L', 20, 65, 161},
    {"lbDelayLineInA", 'W', 475, 520, 616},
    {"plLevelGateInA", 'L', 979, 1069, 1261},
    {"plMatrixInA", 'W', 415, 445, 509},
    {"lbMatrixNameInA", 'W', 70, 74, 83},
    {"lbMatrixNameInA", 'L', 0, 3, 11},
    {"spMatrixNameInA", 'W', 58, 62, 71},
    {"spMatrixNameInA", 'L', 0, 3, 11},
    {"lbMatrixChNameInA", 'W', 70, 74, 83},
    {"lbMatrixChNameInA", 'L', 0, 3, 11},
    {"lbMatrixGainInA", 'W', 50, 54, 63},
    {"lbMatrixGainInA", 'L', 77, 84, 100},
    {"spMatrixGainInA", 'W', 50, 54, 63},
    {"spMatrixGainInA", 'L', 77, 84, 100},
    {"lbMatrixGateInA", 'W', 50, 54, 63},
    {"lbMatrixGateInA", 'L', 134, 145, 169},
    {"spMatrixGateInA", 'W', 50, 54, 63},
    {"spMatrixGateInA", 'L', 134, 145, 169},
    {"lbMatrixGeqInA", 'W', 50, 54, 63},
    {"lbMatrixGeqInA", 'L', 191, 206, 238},
    {"spMatrixGeqInA", 'W', 50, 54, 63},
    {"spMatrixGeqInA", 'L', 191, 206, 238},
    {"lbMatrixPeqInA", 'W', 50, 54, 63},
    {"lbMatrixPeqInA", 'L', 248, 266, 306},
    {"spMatrixPeqInA", 'W', 50, 54, 63},
    {"spMatrixPeqInA", 'L', 248, 266, 306},
    {"lbMatrixHpLpInA", 'W', 50, 54, 63},
    {"lbMatrixHpLpInA", 'L', 305, 327, 375},
    {"spMatrixHpLpInA", 'W', 50, 54, 63},
    {"spMatrixHpLpInA", 'L', 305, 327, 375},
    {"lbMatrixDelayInA", 'W', 50, 54, 63},
    {"lbMatrixDelayInA", 'L', 362, 388, 444},
    {"spMatrixDelayInA", 'W', 50, 54, 63},
    {"spMatrixDelayInA", 'L', 362, 388, 444},
    {"pkgFftInB", 'W', 1112, 1202, 1394},
    {"pkgFftGeqInB", 'W', 1112, 1202, 1394},
    {"pkgFftShowChInB", 'L', 500, 545, 641},
    {"fftDrawInB", 'W', 1070, 1160, 1352},
    {"fftDrawGeqInB", 'W', 1070, 1160, 1352},
    {"ldbEqBypassInB", 'L', 776, 866, 1058},
    {"ldbEqBypassGeqInB", 'L', 776, 866, 1058},
    {"ldbEqResetInB", 'L', 857, 947, 1139},
    {"ldbEqResetGeqInB", 'L', 857, 947, 1139},
    {"ldbEqShowAllInB", 'L', 934, 1024, 1216},
    {"pkgParamInB", 'L', 20, 65, 161},
    {"lbDelayLineInB", 'W', 475, 520, 616},
    {"plLevelGateInB", 'L', 1032, 1122, 1314},
    {"plMatrixInB", 'W', 415, 445, 509},
    {"lbMatrixNameInB", 'W', 70, 74, 83},
    {"lbMatrixNameInB", 'L', 0, 3, 11},
    {"spMatrixNameInB", 'W', 58, 62, 71},
    {"spMatrixNameInB", 'L', 0, 3, 11},
    {"lbMatrixChNameInB", 'W', 70, 74, 83},
    {"lbMatrixChNameInB", 'L', 0, 3, 11},
    {"lbMatrixGainInB", 'W', 50, 54, 63},
    {"lbMatrixGainInB", 'L', 77, 84, 100},
    {"spMatrixGainInB", 'W', 50, 54, 63},
    {"spMatrixGainInB", 'L', 77, 84, 100},
    {"lbMatrixGateInB", 'W', 50, 54, 63},
    {"lbMatrixGateInB", 'L', 134, 145, 169},
    {"spMatrixGateInB", 'W', 50, 54, 63},
    {"spMatrixGateInB", 'L', 134, 145, 169},
    {"lbMatrixGeqInB", 'W', 50, 54, 63},
    {"lbMatrixGeqInB", 'L', 191, 206, 238},
    {"spMatrixGeqInB", 'W', 50, 54, 63},
    {"spMatrixGeqInB", 'L', 191, 206, 238},
    {"lbMatrixPeqInB", 'W', 50, 54, 63},
    {"lbMatrixPeqInB", 'L', 248, 266, 306},
    {"spMatrixPeqInB", 'W', 50, 54, 63},
    {"spMatrixPeqInB", 'L', 248, 266, 306},
    {"lbMatrixHpLpInB", 'W', 50, 54, 63},
    {"lbMatrixHpLpInB", 'L', 305, 327, 375},
    {"spMatrixHpLpInB", 'W', 50, 54, 63},
    {"spMatrixHpLpInB", 'L', 305, 327, 375},
    {"lbMatrixDelayInB", 'W', 50, 54, 63},
    {"lbMatrixDelayInB", 'L', 362, 388, 444},
    {"spMatrixDelayInB", 'W', 50, 54, 63},
    {"spMatrixDelayInB", 'L', 362, 388, 444},
    {"pkgFftOut1", 'W', 1112, 1202, 1394},
    {"pkgFftShowChOut1", 'L', 460, 505, 601},
    {"fftDrawOut1", 'W', 1070, 1160, 1352},
    {"ldbEqBypassOut1", 'L', 776, 866, 1058},
    {"ldbEqResetOut1", 'L', 857, 947, 1139},
    {"ldbEqShowAllOut1", 'L', 934, 1024, 1216},
    {"pkgParamOut1", 'L', 20, 65, 161},
    {"lbDelayLineOut1", 'W', 475, 520, 616},
    {"plLevelCompOut1", 'L', 800, 890, 1082},
    {"plLevelLimitOut1", 'L', 800, 890, 1082},
    {"plMatrixOut1", 'L', 561, 621, 749},
    {"plMatrixOut1", 'W', 510, 540, 604},
    {"lbMatrixXoverOut1", 'W', 50, 53, 61},
    {"lbMatrixXoverOut1", 'L', 2, 2, 2},
    {"lbMatrixPeqOut1", 'W', 50, 53, 61},
    {"lbMatrixPeqOut1", 'L', 61, 64, 71},
    {"spMatrixXoverOut1", 'W', 50, 53, 61},
    {"spMatrixXoverOut1", 'L', 2, 2, 2},
    {"spMatrixPeqOut1", 'W', 50, 53, 61},
    {"spMatrixPeqOut1", 'L', 61, 64, 71},
    {"lbMatrixGainOut1", 'W', 50, 53, 61},
    {"lbMatrixGainOut1", 'L', 121, 127, 141},
    {"spMatrixGainOut1", 'W', 50, 53, 61},
    {"spMatrixGainOut1", 'L', 121, 127, 141},
    {"lbMatrixCompOut1", 'W', 50, 53, 61},
    {"lbMatrixCompOut1", 'L', 180, 190, 211},
    {"spMatrixCompOut1", 'W', 50, 53, 61},
    {"spMatrixCompOut1", 'L', 180, 190, 211},
    {"lbMatrixPhaseOut1", 'W', 50, 53, 61},
    {"lbMatrixPhaseOut1", 'L', 240, 253, 281},
    {"spMatrixPhaseOut1", 'W', 50, 53, 61},
    {"spMatrixPhaseOut1", 'L', 240, 253, 281},
    {"lbMatrixDelayOut1", 'W', 50, 53, 61},
    {"lbMatrixDelayOut1", 'L', 298, 314, 350},
    {"spMatrixDelayOut1", 'W', 50, 53, 61},
    {"spMatrixDelayOut1", 'L', 298, 314, 350},
    {"lbMatrixMuteOut1", 'W', 50, 53, 61},
    {"lbMatrixMuteOut1", 'L', 359, 379, 421},
    {"spMatrixMuteOut1", 'W', 50, 53, 61},
    {"spMatrixMuteOut1", 'L', 359, 379, 421},
    {"lbMatrixNameOut1", 'W', 80, 83, 91},
    {"lbMatrixNameOut1", 'L', 418, 441, 491},
    {"lbMatrixChNameOut1", 'W', 80, 83, 91},
    {"lbMatrixChNameOut1", 'L', 419, 442, 492},
    {"spMatrixNameOut1", 'W', 58, 61, 69},
    {"spMatrixNameOut1", 'L', 416, 439, 489},
    {"pkgFftOut2", 'W', 1112, 1202, 1394},
    {"pkgFftShowChOut2", 'L', 460, 505, 601},
    {"fftDrawOut2", 'W', 1070, 1160, 1352},
    {"ldbEqBypassOut2", 'L', 776, 866, 1058},
    {"ldbEqResetOut2", 'L', 857, 947, 1139},
    {"ldbEqShowAllOut2", 'L', 934, 1024, 1216},
    {"pkgParamOut2", 'L', 20, 65, 161},
    {"lbDelayLineOut2", 'W', 475, 520, 616},
    {"plLevelCompOut2", 'L', 873, 963, 1155},
    {"plLevelLimitOut2", 'L', 873, 963, 1155},
    {"plMatrixOut2", 'L', 561, 621, 749},
    {"plMatrixOut2", 'W', 510, 540, 604},
    {"lbMatrixXoverOut2", 'W', 50, 53, 61},
    {"lbMatrixXoverOut2", 'L', 2, 2, 2},
    {"lbMatrixPeqOut2", 'W', 50, 53, 61},
    {"lbMatrixPeqOut2", 'L', 61, 64, 71},
    {"spMatrixXoverOut2", 'W', 50, 53, 61},
    {"spMatrixXoverOut2", 'L', 2, 2, 2},
    {"spMatrixPeqOut2", 'W', 50, 53, 61},
    {"spMatrixPeqOut2", 'L', 61, 64, 71},
    {"lbMatrixGainOut2", 'W', 50, 53, 61},
    {"lbMatrixGainOut2", 'L', 121, 127, 141},
    {"spMatrixGainOut2", 'W', 50, 53, 61},
    {"spMatrixGainOut2", 'L', 121, 127, 141},
    {"lbMatrixCompOut2", 'W', 50, 53, 61},
    {"lbMatrixCompOut2", 'L', 180, 190, 211},
    {"spMatrixCompOut2", 'W', 50, 53, 61},
    {"spMatrixCompOut2", 'L', 180, 190, 211},
    {"lbMatrixPhaseOut2", 'W', 50, 53, 61},
    {"lbMatrixPhaseOut2", 'L', 240, 253, 281},
    {"spMatrixPhaseOut2", 'W', 50, 53, 61},
    {"spMatrixPhaseOut2", 'L', 240, 253, 281},
    {"lbMatrixDelayOut2", 'W', 50, 53, 61},
    {"lbMatrixDelayOut2", 'L', 298, 314, 350},
    {"spMatrixDelayOut2", 'W', 50, 53, 61},
    {"spMatrixDelayOut2", 'L', 298, 314, 350},
    {"lbMatrixMuteOut2", 'W', 50, 53, 61},
    {"lbMatrixMuteOut2", 'L', 359, 379, 421},
    {"spMatrixMuteOut2", 'W', 50, 53, 61},
    {"spMatrixMuteOut2", 'L', 359, 379, 421},
    {"lbMatrixNameOut2", 'W', 80, 83, 91},
    {"lbMatrixNameOut2", 'L', 418, 441, 491},
    {"lbMatrixChNameOut2", 'W', 80, 83, 91},
    {"lbMatrixChNameOut2", 'L', 419, 442, 492},
    {"spMatrixNameOut2", 'W', 58, 61, 69},
    {"spMatrixNameOut2", 'L', 416, 439, 489},
    {"pkgFftOut3", 'W', 1112, 1202, 1394},
    {"pkgFftShowChOut3", 'L', 460, 505, 601},
    {"fftDrawOut3", 'W', 1070, 1160, 1352},
    {"ldbEqBypassOut3", 'L', 776, 866, 1058},
    {"ldbEqResetOut3", 'L', 857, 947, 1139},
    {"ldbEqShowAllOut3", 'L', 934, 1024, 1216},
    {"pkgParamOut3", 'L', 20, 65, 161},
    {"lbDelayLineOut3", 'W', 475, 520, 616},
    {"plLevelCompOut3", 'L', 946, 1036, 1228},
    {"plLevelLimitOut3", 'L', 946, 1036, 1228},
    {"plMatrixOut3", 'L', 561, 621, 749},
    {"plMatrixOut3", 'W', 510, 540, 604},
    {"lbMatrixXoverOut3", 'W', 50, 53, 61},
    {"lbMatrixXoverOut3", 'L', 2, 2, 2},
    {"lbMatrixPeqOut3", 'W', 50, 53, 61},
    {"lbMatrixPeqOut3", 'L', 61, 64, 71},
    {"spMatrixXoverOut3", 'W', 50, 53, 61},
    {"spMatrixXoverOut3", 'L', 2, 2, 2},
    {"spMatrixPeqOut3", 'W', 50, 53, 61},
    {"spMatrixPeqOut3", 'L', 61, 64, 71},
    {"lbMatrixGainOut3", 'W', 50, 53, 61},
    {"lbMatrixGainOut3", 'L', 121, 127, 141},
    {"spMatrixGainOut3", 'W', 50, 53, 61},
    {"spMatrixGainOut3", 'L', 121, 127, 141},
    {"lbMatrixCompOut3", 'W', 50, 53, 61},
    {"lbMatrixCompOut3", 'L', 180, 190, 211},
    {"spMatrixCompOut3", 'W', 50, 53, 61},
    {"spMatrixCompOut3", 'L', 180, 190, 211},
    {"lbMatrixPhaseOut3", 'W', 50, 53, 61},
    {"lbMatrixPhaseOut3", 'L', 240, 253, 281},
    {"spMatrixPhaseOut3", 'W', 50, 53, 61},
    {"spMatrixPhaseOut3", 'L', 240, 253, 281},
    {"lbMatrixDelayOut3", 'W', 50, 53, 61},
    {"lbMatrixDelayOut3", 'L', 298, 314, 350},
    {"spMatrixDelayOut3", 'W', 50, 53, 61},
    {"spMatrixDelayOut3", 'L', 298, 314, 350},
    {"lbMatrixMuteOut3", 'W', 50, 53, 61},
    {"lbMatrixMuteOut3", 'L', 359, 379, 421},
    {"spMatrixMuteOut3", 'W', 50, 53, 61},
    {"spMatrixMuteOut3", 'L', 359, 379, 421},
    {"lbMatrixNameOut3", 'W', 80, 83, 91},
    {"lbMatrixNameOut3", 'L', 418, 441, 491},
    {"lbMatrixChNameOut3", 'W', 80, 83, 91},
    {"lbMatrixChNameOut3", 'L', 419, 442, 492},
    {"spMatrixNameOut3", 'W', 58, 61, 69},
    {"spMatrixNameOut3", 'L', 416, 439, 489},
    {"pkgFftOut4", 'W', 1112, 1202, 1394},
    {"pkgFftShowChOut4", 'L', 460, 505, 601},
    {"fftDrawOut4", 'W', 1070, 1160, 1352},
    {"ldbEqBypassOut4", 'L', 776, 866, 1058},
    {"ldbEqResetOut4", 'L', 857, 947, 1139},
    {"ldbEqShowAllOut4", 'L', 934, 1024, 1216},
    {"pkgParamOut4", 'L', 20, 65, 161},
    {"lbDelayLineOut4", 'W', 475, 520, 616},
    {"plLevelCompOut4", 'L', 1019, 1109, 1301},
    {"plLevelLimitOut4", 'L', 1019, 1109, 1301},
    {"plMatrixOut4", 'L', 561, 621, 749},
    {"plMatrixOut4", 'W', 510, 540, 604},
    {"lbMatrixXoverOut4", 'W', 50, 53, 61},
    {"lbMatrixXoverOut4", 'L', 2, 2, 2},
    {"lbMatrixPeqOut4", 'W', 50, 53, 61},
    {"lbMatrixPeqOut4", 'L', 61, 64, 71},
    {"spMatrixXoverOut4", 'W', 50, 53, 61},
    {"spMatrixXoverOut4", 'L', 2, 2, 2},
    {"spMatrixPeqOut4", 'W', 50, 53, 61},
    {"spMatrixPeqOut4", 'L', 61, 64, 71},
    {"lbMatrixGainOut4", 'W', 50, 53, 61},
    {"lbMatrixGainOut4", 'L', 121, 127, 141},
    {"spMatrixGainOut4", 'W', 50, 53, 61},
    {"spMatrixGainOut4", 'L', 121, 127, 141},
    {"lbMatrixCompOut4", 'W', 50, 53, 61},
    {"lbMatrixCompOut4", 'L', 180, 190, 211},
    {"spMatrixCompOut4", 'W', 50, 53, 61},
    {"spMatrixCompOut4", 'L', 180, 190, 211},
    {"lbMatrixPhaseOut4", 'W', 50, 53, 61},
    {"lbMatrixPhaseOut4", 'L', 240, 253, 281},
    {"spMatrixPhaseOut4", 'W', 50, 53, 61},
    {"spMatrixPhaseOut4", 'L', 240, 253, 281},
    {"lbMatrixDelayOut4", 'W', 50, 53, 61},
    {"lbMatrixDelayOut4", 'L', 298, 314, 350},
    {"spMatrixDelayOut4", 'W', 50, 53, 61},
    {"spMatrixDelayOut4", 'L', 298, 314, 350},
    {"lbMatrixMuteOut4", 'W', 50, 53, 61},
    {"lbMatrixMuteOut4", 'L', 359, 379, 421},
    {"spMatrixMuteOut4", 'W', 50, 53, 61},
    {"spMatrixMuteOut4", 'L', 359, 379, 421},
    {"lbMatrixNameOut4", 'W', 80, 83, 91},
    {"lbMatrixNameOut4", 'L', 418, 441, 491},
    {"lbMatrixChNameOut4", 'W', 80, 83, 91},
    {"lbMatrixChNameOut4", 'L', 419, 442, 492},
    {"spMatrixNameOut4", 'W', 58, 61, 69},
    {"spMatrixNameOut4", 'L', 416, 439, 489},
    {"imRightUpBase", 'L', 1077, 1167, 1359},
    {"imRightDownBase", 'L', 1077, 1167, 1359},
    {"imLeftUpBase", 'W', 1082, 1172, 1364},
    {"imLeftDownBase", 'W', 1082, 1172, 1364},
    {"pkgPreset", 'L', 10, 55, 151},
};

int SideOf(const TControl& c, char side) {
    switch (side) {
    case 'L':
        return c.Left();
    case 'T':
        return c.Top();
    case 'W':
        return c.Width();
    default:
        return c.Height();
    }
}

class ResizeTest : public MainWindowFixture {
protected:
    // The rules found every control.
    void ExpectNothingMissing() {
        for (const std::string& name : main->ResizeMissing())
            ADD_FAILURE() << "the resize rules name a missing control: " << name;
    }

    // Every control of the table at the size of column `column` (0, 1, 2).
    void ExpectGeometry(int column, const char* size) {
        for (const Expected& e : kGeometry) {
            auto* c = main->Find<TControl>(e.name);
            if (!c) {
                ADD_FAILURE() << "no control " << e.name;
                continue;
            }
            const int want = column == 0 ? e.at720 : column == 1 ? e.at810 : e.at900;
            EXPECT_EQ(SideOf(*c, e.side), want) << size << ": " << e.name << " " << e.side;
        }
    }

    TControl& Get(const std::string& name) {
        auto* c = main->Find<TControl>(name);
        if (!c)
            throw std::runtime_error("no control " + name);
        return *c;
    }

};

TEST_F(ResizeTest, EveryRuledControlTakesItsGeometryAtThreeSizesAndBack) {
    // FormCreate's own size ran the rules once: the design size, nothing to scroll.
    EXPECT_EQ(main->Width(), 1118);
    EXPECT_EQ(main->Height(), 720);
    ExpectNothingMissing();
    ExpectGeometry(0, "1118x720");
    EXPECT_FALSE(main->AutoScroll());

    struct Size {
        int w, h, column;
        const char* text;
    };
    for (const Size& s : {Size{1208, 810, 1, "1208x810"}, Size{1400, 900, 2, "1400x900"},
                          Size{1118, 720, 0, "1118x720 again"}}) {
        main->SetBounds(main->Left(), main->Top(), s.w, s.h);
        ExpectNothingMissing();
        ExpectGeometry(s.column, s.text);
        EXPECT_EQ(main->ExtraHeight(), s.h - 720) << s.text;
        EXPECT_FALSE(main->AutoScroll()) << s.text;
    }
}

TEST_F(ResizeTest, BelowTheDesignSizeTheWindowScrollsAndKeepsTheOtherAxisRules) {
    main->SetBounds(0, 0, 1208, 810);
    // Too narrow: the height rules still follow, the width rules keep their last size.
    main->SetBounds(0, 0, 1000, 900);
    EXPECT_TRUE(main->AutoScroll());
    EXPECT_EQ(main->ExtraHeight(), 180);
    EXPECT_EQ(Get("pkgMain").Height(), 180 + 629);
    EXPECT_EQ(Get("pkgMain").Width(), 90 + 1112);
    EXPECT_GT(main->ScrollRange().X, main->ClientWidth());

    // Too low: the height rules keep the last height of at least 720, the width rules follow.
    main->SetBounds(0, 0, 1400, 600);
    EXPECT_TRUE(main->AutoScroll());
    EXPECT_EQ(main->ExtraHeight(), 180);
    EXPECT_EQ(Get("pkgMain").Height(), 180 + 629);
    EXPECT_EQ(Get("pkgMain").Width(), 282 + 1112);
    EXPECT_EQ(Get("pkgPreset").Top(), 180 + 626);
    EXPECT_GT(main->ScrollRange().Y, main->ClientHeight());

    // Large enough again: no scrolling.
    main->SetBounds(0, 0, 1118, 720);
    EXPECT_FALSE(main->AutoScroll());
    EXPECT_EQ(main->ScrollRange().Y, main->ClientHeight());
    EXPECT_EQ(Get("pkgMain").Height(), 629);
}

TEST_F(ResizeTest, DelayIndicatorsSitAtTheFadersShareOfTheirLine) {
    for (const std::string s : {"InA", "Out2"}) {
        auto& fader = dynamic_cast<TStTrackBar&>(Get("isDelay" + s));
        auto& line = Get("lbDelayLine" + s);
        auto& indicator = Get("imDelay" + s);
        auto& time = Get("lbFftDelayTime" + s);
        ASSERT_GT(fader.Max(), 0);
        for (int width : {1118, 1400}) {
            fader.SetPosition(fader.Max());
            main->SetBounds(0, 0, width, 810);
            // At the end: 50 pixels before the end of the line.
            EXPECT_EQ(indicator.Left(), line.Width() - 50) << s << " " << width;
            EXPECT_EQ(time.Left(), indicator.Left() + 30) << s;
            EXPECT_EQ(time.Top(), indicator.Top() + indicator.Height() / 4) << s;
            fader.SetPosition(fader.Max() / 3);
            main->SetBounds(0, 0, width, 811);
            EXPECT_EQ(indicator.Left(), fader.Max() / 3 * (line.Width() - 90) / fader.Max() + 40) << s;
            fader.SetPosition(0);
            main->SetBounds(0, 0, width, 810);
            EXPECT_EQ(indicator.Left(), 40) << s;
        }
    }
}

// A control the layout lacks is reported, and every other rule still applies.
TEST_F(ResizeTest, AMissingControlIsReportedAndTheRestIsStillLaidOut) {
    Get("pkgFftGain").SetName("pkgFftGainRenamed");
    Get("lbMatrixGainInB").SetName("lbMatrixGainInBRenamed");
    main->SetBounds(0, 0, 1400, 900);
    const auto& missing = main->ResizeMissing();
    EXPECT_NE(std::find(missing.begin(), missing.end(), "pkgFftGain"), missing.end());
    EXPECT_NE(std::find(missing.begin(), missing.end(), "lbMatrixGainInB"), missing.end());
    EXPECT_EQ(Get("pkgFftGainRenamed").Height(), 284);
    EXPECT_EQ(Get("pkgFftDelay").Height(), 180 + 284);
    EXPECT_EQ(Get("spMatrixGainInB").Width(), 282 / 21 + 50);
    EXPECT_EQ(Get("pkgPreset").Top(), 180 + 626);
    EXPECT_EQ(Get("imLeftDownBase").Width(), 282 + 1082);
}

} // namespace
