#include "shell/ExceptionHandler.h"

#include "dialogs/DialogLayout.h"
#include "platform/AppError.h"
#include "platform/qt/QtText.h"
#include "settings/ApplicationTitle.h"

#include <QMessageBox>

#include <memory>
#include <typeinfo>
#if defined(__GNUC__)
#include <cxxabi.h>
#endif

namespace {

std::string ErrorKind(const std::exception& error)
{
    const char* name = typeid(error).name();
#if defined(__GNUC__)
    int status = 0;
    std::unique_ptr<char, decltype(&std::free)> demangled(
        abi::__cxa_demangle(name, nullptr, nullptr, &status), std::free);
    if (status == 0 && demangled)
        return demangled.get();
#endif
    return name;
}

const void* RaiseAddress(const std::exception& error)
{
    const auto* appError = dynamic_cast<const AppError*>(&error);
    return appError != nullptr ? appError->RaiseAddress() : nullptr;
}

void ShowErrorBox(const std::string& title, const std::string& text)
{
    QMessageBox box(QMessageBox::Critical, ToQString(title), ToQString(text), QMessageBox::Ok);
    KeepTitleWhole(box);
    box.exec();
}

} // namespace

std::string WithFullStop(const std::string& message)
{
    if (message.empty() || static_cast<unsigned char>(message.back()) <= '.')
        return message;
    return message + ".";
}

void ShowApplicationException(const std::exception& error)
{
    ShowErrorBox(ApplicationTitle(), WithFullStop(error.what()));
}

std::string StartupErrorText(const std::exception& error)
{
    return "Exception " + ErrorKind(error) + " in module " + DescribeCodeAddress(RaiseAddress(error)) + ".\n"
        + WithFullStop(error.what());
}

void ShowStartupError(const std::exception& error)
{
    ShowErrorBox("Application Error", StartupErrorText(error));
}
