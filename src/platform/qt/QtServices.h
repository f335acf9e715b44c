#pragma once
// Installs the Qt implementations of the platform services for the lifetime of this object.

#include <memory>

namespace kelvorn {

class QtMessages;

class QtServices
{
public:
    QtServices();
    ~QtServices();
    QtServices(const QtServices&) = delete;
    QtServices& operator=(const QtServices&) = delete;

private:
    std::unique_ptr<QtMessages> messages;
};

} // namespace kelvorn
