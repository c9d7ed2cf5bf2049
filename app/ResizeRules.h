#pragma once
// The main window's layout on resize as data: each rule sets one side of a named control to a value
// computed for the extra height or width.

#include <string>
#include <vector>

enum class ResizeSide { Left, Top, Width, Height };

struct ResizeRule {
    std::string name;
    ResizeSide side;
    int value;
};

struct ResizeRules {
    std::vector<ResizeRule> rules;
    void Add(const std::string& name, ResizeSide side, int value) { rules.push_back({name, side, value}); }
};
