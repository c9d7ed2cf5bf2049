#pragma once
// The notification wiring that a plot's master manager gives the object managers of a test plot:
// each manager registers itself through the insert event, every later insert, removal and rename is
// passed on to all registered managers, and changes are counted.

#include "plot/gPlotManagers.h"

#include <vector>

namespace kvtest {

struct TestPlotWiring {
    TestPlotWiring() = default;
    // The events hold this object's address.
    TestPlotWiring(const TestPlotWiring&) = delete;
    TestPlotWiring& operator=(const TestPlotWiring&) = delete;

    int changes = 0;
    std::vector<kv::TgPlotObjectManagerCustom*> managers;
    kv::TNotifyEvent change = [this](kv::TObject*) { ++changes; };
    kv::TNotifyEvent insert = [this](kv::TObject* s) {
        if (auto* m = dynamic_cast<kv::TgPlotObjectManagerCustom*>(s)) {
            managers.push_back(m);
            return;
        }
        for (auto* m : managers)
            m->NotificationInsert(s);
    };
    kv::TNotifyEvent remove = [this](kv::TObject* s) {
        for (auto* m : std::vector<kv::TgPlotObjectManagerCustom*>(managers))
            m->NotificationRemove(s);
        std::erase(managers, s);
    };
    kv::TNotifyEvent rename = [this](kv::TObject* s) {
        for (auto* m : managers)
            m->NotificationRename(s);
    };
};

} // namespace kvtest
