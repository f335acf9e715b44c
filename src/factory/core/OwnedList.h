#pragma once
// The owned lists of pins and nodes: an element leaves its list before it is destroyed, so that
// the disconnecting its destructor does never walks a list that is being changed.

#include "general/Assert.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace kelvorn {

/// Destroys the element after taking it out of the list; false (asserted) when it is not in it.
template <class T> bool EraseOwned(std::vector<std::unique_ptr<T>>& list, const T* element)
{
    auto it = std::find_if(list.begin(), list.end(),
                           [&](const std::unique_ptr<T>& p) { return p.get() == element; });
    if (!KV_SOFT_ASSERT(it != list.end()))
        return false;
    std::unique_ptr<T> doomed = std::move(*it);
    list.erase(it);
    doomed.reset();
    return true;
}

/// Destroys the elements head first, all out of the list before the first dies. Taking them out
/// together keeps this linear: erasing the head one by one moved the whole rest each time.
template <class T> void ClearOwned(std::vector<std::unique_ptr<T>>& list)
{
    std::vector<std::unique_ptr<T>> doomed = std::move(list);
    list.clear();
    for (auto& element : doomed)
        element.reset();
}

/// The first element of exactly that name other than skip, or null.
template <class T>
T* FindOwnedByName(const std::vector<std::unique_ptr<T>>& list, const std::string& name,
                   const T* skip)
{
    for (const auto& p : list)
        if (p.get() != skip && p->Name == name)
            return p.get();
    return nullptr;
}

/// Matches every old pin with the first new pin of its name: the same type and domain keep the
/// old pin (with the new one's place on the side), a different one keeps the new pin. An old pin
/// without a new namesake goes when removeUnmatched is set, else it stays marked.
template <class T> void MergeOldPinList(std::vector<std::unique_ptr<T>>& list, bool removeUnmatched)
{
    size_t i = 0;
    while (i < list.size()) {
        T* old = list[i].get();
        if (!old->Old) {
            ++i;
            continue;
        }
        T* fresh = nullptr;
        for (const auto& p : list)
            if (!p->Old && p->Name == old->Name) {
                fresh = p.get();
                break;
            }
        if (fresh) {
            if (old->SameDomain(*fresh)) {
                old->CopyPlacement(*fresh);
                old->Old = false;
                EraseOwned(list, fresh);
            } else {
                EraseOwned(list, old);
            }
            i = 0;
        } else if (removeUnmatched) {
            EraseOwned(list, old);
        } else {
            ++i;
        }
    }
}

} // namespace kelvorn
