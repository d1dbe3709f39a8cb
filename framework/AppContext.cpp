#include "AppContext.h"

namespace {
CAppContext* g_current = nullptr;
}

CAppContext::CAppContext() : m_previous(g_current)
{
    g_current = this;
}

CAppContext::~CAppContext()
{
    // Take each object out of the context before destroying it, so that a
    // destructor that looks for it finds none rather than a dying object.
    while (!m_slots.empty()) {
        Holder object = std::move(m_slots.back().object);
        m_slots.pop_back();
        object.reset();
    }
    if (g_current == this)
        g_current = m_previous;
}

CAppContext& CAppContext::Current()
{
    if (!g_current) {
        // The program's own context: lives until exit.
        static CAppContext* programContext = new CAppContext();
        (void)programContext;
    }
    return *g_current;
}
