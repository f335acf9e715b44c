#pragma once
// A factory of 500 user nodes in a grid of 25 columns and 20 rows (two inputs and two outputs
// each, pictures and labels) with 1,000 connections: each input is fed by an output of a node
// two columns to its left (or by a factory input in the first columns), so every connection
// crosses other nodes. The paint and the editor's mouse benchmarks share it.
#include "factory/core/UserNodes.h"

#include <memory>
#include <string>
#include <vector>

namespace kelvorn::bench {

constexpr int GridColumns = 25;
constexpr int GridRows = 20;
constexpr int GridNodeWidth = 60;
constexpr int GridNodeHeight = 44;
/// The window size that shows the whole area.
constexpr int GridWidth = 25 + 15 + GridColumns * (GridNodeWidth + 20) + 15;
constexpr int GridHeight = 15 + 5 + GridRows * (GridNodeHeight + 10) + 5;

inline std::unique_ptr<TUnitSountory> MakeFactoryGrid(FactoryHost& host)
{
    using T = ValueDomType;
    auto factory = std::make_unique<TUnitSountory>("Paint", "/tmp/paint.kvf", host);
    factory->SetWidth(GridWidth - 25 - 5);
    factory->SetHeight(GridHeight - 15 - 5);
    factory->ShowTypeNIO = true;
    auto at = [](double h) { return unitFactorPosMax1(h, EHPerc); };
    TSountoryInput* wave = factory->CreateInput("Wave", at(0.3), false, T::Wave, ValueDomain::Mono);
    TSountoryInput* value =
        factory->CreateInput("Value", at(0.6), false, T::Time, ValueDomain::Positive);
    std::vector<TSountoryNode*> grid;
    for (int c = 0; c < GridColumns; ++c)
        for (int r = 0; r < GridRows; ++r) {
            const int x = 15 + c * (GridNodeWidth + 20);
            const int y = 5 + r * (GridNodeHeight + 10);
            auto* node = factory->CreateNode<TSountoryNodeUser>(
                "Node " + std::to_string(grid.size()), "Inner",
                TSountoryRectangle{x, y, x + GridNodeWidth, y + GridNodeHeight});
            node->AddInput("Wave", at(0.2), false, T::Wave, ValueDomain::AllValues);
            node->AddInput("Time", at(0.8), false, T::Time, ValueDomain::AllValues);
            node->AddOutput("Result", at(0.2), false, T::Wave, ValueDomain::Mono);
            node->AddOutput("Length", at(0.8), false, T::Time, ValueDomain::Positive);
            const size_t from = grid.size() - std::min<size_t>(grid.size(), 2 * GridRows - 1);
            TSountoryInputSource* waveSource =
                c < 2 ? static_cast<TSountoryInputSource*>(wave) : grid[from]->Outputs()[0].get();
            TSountoryInputSource* valueSource =
                c < 2 ? static_cast<TSountoryInputSource*>(value) : grid[from]->Outputs()[1].get();
            node->Inputs()[0]->SetSource(waveSource);
            node->Inputs()[1]->SetSource(valueSource);
            grid.push_back(node);
        }
    return factory;
}

} // namespace kelvorn::bench
