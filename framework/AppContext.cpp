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
    while (!m_slots.empty())
        m_slots.pop_back();
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
