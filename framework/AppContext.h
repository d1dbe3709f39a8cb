// The application context: the sign's process-wide objects and values live
// here for the life of the program. Tests create a fresh context of their
// own; it becomes the current one until it is destroyed.
#pragma once

#include "Preferences.h"
#include "Seams.h"

class CDC;

#include <QString>
#include <functional>
#include <memory>
#include <vector>

class CAppContext
{
public:
    CAppContext();
    ~CAppContext();
    CAppContext(const CAppContext&) = delete;
    CAppContext& operator=(const CAppContext&) = delete;

    // The context in force; one is made on first use when none was created.
    static CAppContext& Current();

    // The context's one object of type T, made on first use and destroyed
    // with the context, in reverse order of making.
    template <class T> T& Get()
    {
        const void* key = TypeKey<T>();
        for (auto& slot : m_slots) {
            if (slot.key == key)
                return *static_cast<T*>(slot.object.get());
        }
        T* object = new T();
        m_slots.push_back({key, Holder(object, [](void* p) { delete static_cast<T*>(p); })});
        return *object;
    }

    // The context's object of type T when one was made, else null.
    template <class T> T* Find()
    {
        const void* key = TypeKey<T>();
        for (auto& slot : m_slots) {
            if (slot.key == key)
                return static_cast<T*>(slot.object.get());
        }
        return nullptr;
    }

    // Version of the sign file being read, or 514 while one is written.
    int fileVersion = 514;
    // What the last load changed: 0 nothing, 1 database links broken,
    // 2 data store disabled, 3 content changed while loading.
    int loadOutcome = 0;
    // Folder of the sign being read or written, with a trailing '/'.
    QString signFolder;

    // While a package is exported, paths are stored as prefix + file name.
    bool packageExport = false;
    QString packagePicturePrefix;
    QString packageDatabasePrefix;

    CGeneralPreferences general;

    // Seams filled in by the layers that provide them; null when absent.
    CViewSeam* currentView = nullptr;
    CViewSeam* activeDrawingView = nullptr;
    CSnapSeam* snap = nullptr;
    CProgressSeam* progress = nullptr;
    CDataLinkSeam* dataLink = nullptr;
    CDataPathSeam* dataPaths = nullptr;

    // The device context that fonts are measured on: the printer's, once the
    // printer settings exist (they install it); null before that.
    std::function<CDC*()> printerDC;

    // The name of the user logged on to the program; empty when nobody is
    // (or before the user list is built).
    std::function<QString()> currentUserName;

    // Steps the open progress window, if any.
    void StepProgress()
    {
        if (progress)
            progress->StepIt();
    }

private:
    template <class T> static const void* TypeKey()
    {
        static const char key = 0;
        return &key;
    }
    using Holder = std::unique_ptr<void, void (*)(void*)>;
    struct Slot
    {
        const void* key;
        Holder object;
    };
    std::vector<Slot> m_slots;
    CAppContext* m_previous = nullptr;
};

inline CAppContext& App()
{
    return CAppContext::Current();
}
