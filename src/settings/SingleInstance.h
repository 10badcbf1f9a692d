#pragma once

#include "platform/AppError.h"

#include <memory>
#include <string>

// The program's single services (the state store, the window placement service,
// the message service) are made only by their accessor function, on its first call.
// T derives from TSingleInstance<T> and passes its accessor's name to it; any other
// construction, or a second one, raises "use <accessor> accessor function".
template <typename T>
class TSingleInstance {
public:
    // The instance, made on the first call.
    static T& Instance()
    {
        if (!owned) {
            constructionAllowed = true;
            try {
                owned.reset(new T());
            } catch (...) {
                constructionAllowed = false;
                throw;
            }
            constructionAllowed = false;
        }
        return *owned;
    }

    static bool Exists() { return owned != nullptr; }

    // Frees the instance if it exists, as the program does when it ends.
    static void Release() { owned.reset(); }

    TSingleInstance(const TSingleInstance&) = delete;
    TSingleInstance& operator=(const TSingleInstance&) = delete;

protected:
    explicit TSingleInstance(const char* accessorName)
    {
        if (instance != nullptr || !constructionAllowed)
            throw AppError(std::string("use ") + accessorName + " accessor function");
        instance = static_cast<T*>(this);
    }
    ~TSingleInstance() { instance = nullptr; }

private:
    // The instance reference, set while the instance exists.
    static inline T* instance = nullptr;
    // Cleared only while the accessor constructs the instance.
    static inline bool constructionAllowed = false;
    static inline std::unique_ptr<T> owned;
};
