// Run-time classes: every persistent object knows its class record, and the
// registry creates an object from the class name stored in an archive.
#pragma once

#include "Types.h"

#include <string_view>

class CArchive;
class CObject;

struct CRuntimeClass
{
    const char* m_className;
    WORD m_schema;
    CObject* (*m_create)(); // null for classes that are never created by name
    const CRuntimeClass* m_base;

    CObject* CreateObject() const { return m_create ? m_create() : nullptr; }
    bool IsDerivedFrom(const CRuntimeClass* base) const;

    // The registered class of that exact name (case-sensitive), or null.
    static const CRuntimeClass* FromName(std::string_view name);
};

// Adds a class record to the registry; done once per class at start-up by
// the definitions below.
struct CClassRegistration
{
    explicit CClassRegistration(const CRuntimeClass* cls);
};

class CObject
{
public:
    virtual ~CObject() = default;
    virtual const CRuntimeClass* GetRuntimeClass() const;
    virtual void Serialize(CArchive& ar);

    bool IsKindOf(const CRuntimeClass* cls) const { return GetRuntimeClass()->IsDerivedFrom(cls); }

    static const CRuntimeClass classCObject;
    static const CRuntimeClass* ThisClass() { return &classCObject; }

protected:
    CObject() = default;
    CObject(const CObject&) = default;
    CObject& operator=(const CObject&) = default;
};

#define RUNTIME_CLASS(cls) (&cls::class##cls)

// In the class body of a persistent class.
#define DECLARE_PERSISTENT(cls)                                                                    \
public:                                                                                            \
    static const CRuntimeClass class##cls;                                                         \
    static const CRuntimeClass* ThisClass()                                                        \
    {                                                                                              \
        return &class##cls;                                                                        \
    }                                                                                              \
    const CRuntimeClass* GetRuntimeClass() const override;                                         \
    static CObject* CreateObject();

// In one source file: a class that the archive creates by name.
#define IMPLEMENT_PERSISTENT(cls, base, schema)                                                    \
    CObject* cls::CreateObject()                                                                   \
    {                                                                                              \
        return new cls;                                                                            \
    }                                                                                              \
    const CRuntimeClass cls::class##cls = {#cls, WORD(schema), &cls::CreateObject,                 \
                                           RUNTIME_CLASS(base)};                                   \
    const CRuntimeClass* cls::GetRuntimeClass() const                                              \
    {                                                                                              \
        return &class##cls;                                                                        \
    }                                                                                              \
    static const CClassRegistration s_register##cls(&cls::class##cls);

// A class with a run-time record that is never created by name (a base).
#define DECLARE_RUNTIME(cls)                                                                       \
public:                                                                                            \
    static const CRuntimeClass class##cls;                                                         \
    static const CRuntimeClass* ThisClass()                                                        \
    {                                                                                              \
        return &class##cls;                                                                        \
    }                                                                                              \
    const CRuntimeClass* GetRuntimeClass() const override;

#define IMPLEMENT_RUNTIME(cls, base, schema)                                                       \
    const CRuntimeClass cls::class##cls = {#cls, WORD(schema), nullptr, RUNTIME_CLASS(base)};      \
    const CRuntimeClass* cls::GetRuntimeClass() const                                              \
    {                                                                                              \
        return &class##cls;                                                                        \
    }                                                                                              \
    static const CClassRegistration s_register##cls(&cls::class##cls);

template <class T> T* DynamicDowncast(CObject* object)
{
    return object && object->IsKindOf(T::ThisClass()) ? static_cast<T*>(object) : nullptr;
}
