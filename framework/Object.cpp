#include "Object.h"

#include <map>
#include <string>

namespace {

std::map<std::string, const CRuntimeClass*, std::less<>>& Registry()
{
    static std::map<std::string, const CRuntimeClass*, std::less<>> registry;
    return registry;
}

} // namespace

const CRuntimeClass CObject::classCObject = {"CObject", 0xFFFF, nullptr, nullptr};

const CRuntimeClass* CObject::GetRuntimeClass() const
{
    return &classCObject;
}

void CObject::Serialize(CArchive&) {}

bool CRuntimeClass::IsDerivedFrom(const CRuntimeClass* base) const
{
    for (const CRuntimeClass* c = this; c; c = c->m_base) {
        if (c == base)
            return true;
    }
    return false;
}

const CRuntimeClass* CRuntimeClass::FromName(std::string_view name)
{
    const auto& registry = Registry();
    const auto it = registry.find(name);
    return it == registry.end() ? nullptr : it->second;
}

CClassRegistration::CClassRegistration(const CRuntimeClass* cls)
{
    Registry()[cls->m_className] = cls;
}
