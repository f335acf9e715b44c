#pragma once
// Installs the Qt implementations of the platform services for the lifetime of this object:
// the message boxes, the clock, the screen and the temporary directory. Create it after the
// QApplication; its end removes the temporary directory.

#include <memory>

namespace kelvorn {

class QtMessages;
class QtClock;
class QtScreen;
class QtTempDir;

class QtServices
{
public:
    QtServices();
    ~QtServices();
    QtServices(const QtServices&) = delete;
    QtServices& operator=(const QtServices&) = delete;

private:
    std::unique_ptr<QtMessages> messages;
    std::unique_ptr<QtClock> clock;
    std::unique_ptr<QtScreen> screen;
    std::unique_ptr<QtTempDir> tempDir;
};

} // namespace kelvorn
