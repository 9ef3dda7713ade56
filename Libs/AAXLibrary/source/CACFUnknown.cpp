#include "ACF/CACFUnknown.h"

#include "ACF/acfuids.h"

std::atomic<uint32_t> CACFUnknown::m_ActiveObjects { 0 };

CACFUnknown::CACFUnknown()
    : m_pUnkOuter(&m_PrivateUnknown)
    , m_PrivateUnknown(*this)
{
    m_ActiveObjects.fetch_add(1);
}

CACFUnknown::~CACFUnknown()
{
    m_ActiveObjects.fetch_sub(1);
}

uint32_t CACFUnknown::GetActiveObjectCount()
{
    return m_ActiveObjects.load();
}

ACFRESULT CACFUnknown::InitializeInstance(IACFUnknown*)
{
    return ACF_OK;
}

void CACFUnknown::FinalRelease()
{
}

void CACFUnknown::ReclaimMemory()
{
    delete this;
}

ACFRESULT CACFUnknown::InternalQueryInterface(const acfIID& iid, void** out)
{
    if (out == nullptr)
        return ACF_E_INVALIDARG;

    *out = nullptr;
    if (iid == IID_IACFUnknown)
    {
        *out = static_cast<IACFUnknown*>(&m_PrivateUnknown);
        m_PrivateUnknown.AddRef();
        return ACF_OK;
    }
    return ACF_E_NOINTERFACE;
}

uint32_t CACFUnknown::InternalAddRef()
{
    return m_cRef.fetch_add(1) + 1;
}

uint32_t CACFUnknown::InternalRelease()
{
    // A release without a reference would wrap the count and keep the object forever.
    uint32_t current = m_cRef.load();
    do
    {
        if (current == 0)
            return 0;
    } while (!m_cRef.compare_exchange_weak(current, current - 1));

    const uint32_t remaining = current - 1;
    if (remaining == 0)
    {
        FinalRelease();
        ReclaimMemory();
    }
    return remaining;
}

ACFRESULT CACFUnknown::PrivateUnknown::QueryInterface(const acfIID& iid, void** out)
{
    return mOwner.InternalQueryInterface(iid, out);
}

uint32_t CACFUnknown::PrivateUnknown::AddRef()
{
    return mOwner.InternalAddRef();
}

uint32_t CACFUnknown::PrivateUnknown::Release()
{
    return mOwner.InternalRelease();
}
