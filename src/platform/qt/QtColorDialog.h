#pragma once
// The colour dialog on QColorDialog.

#include "platform/ColorDialog.h"

namespace kelvorn {

class QtColorDialog final : public ColorDialog
{
public:
    bool PickColor(const std::string& title, int32_t& color) override;
};

} // namespace kelvorn
