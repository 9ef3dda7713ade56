#include "AAX_CParameterManager.h"

#include <cstring>

#include "AAX_CHostServices.h"
#include "AAX_IParameter.h"

AAX_CParameterManager::AAX_CParameterManager() = default;

AAX_CParameterManager::~AAX_CParameterManager()
{
    RemoveAllParameters();
}

void AAX_CParameterManager::Initialize(AAX_IAutomationDelegate* automationDelegate)
{
    mAutomationDelegate = automationDelegate;
}

int32_t AAX_CParameterManager::NumParameters() const
{
    return static_cast<int32_t>(mParameters.size());
}

void AAX_CParameterManager::AddParameter(AAX_IParameter* parameter)
{
    if (parameter == nullptr)
        return;

    if (GetParameterByID(parameter->Identifier()) != nullptr)
    {
        // The caller handed the parameter over and keeps no pointer to it, so it goes here.
        AAX_CHostServices::Trace(AAX_eTracePriorityHost_High,
                                 "AAX_CParameterManager::AddParameter - duplicate parameter ID refused: %s",
                                 parameter->Identifier());
        delete parameter;
        return;
    }

    parameter->SetAutomationDelegate(mAutomationDelegate);
    mParameters.push_back(parameter);
    mParametersMap.emplace(parameter->Identifier(), parameter);
}

void AAX_CParameterManager::RemoveAllParameters()
{
    // Cleared before deleting, so that nothing can reach a parameter that is going.
    std::vector<AAX_IParameter*> parameters;
    parameters.swap(mParameters);
    mParametersMap.clear();

    for (AAX_IParameter* parameter : parameters)
        delete parameter;
}

AAX_IParameter* AAX_CParameterManager::GetParameter(int32_t index)
{
    if (index < 0 || index >= NumParameters())
        return nullptr;
    return mParameters[static_cast<size_t>(index)];
}

const AAX_IParameter* AAX_CParameterManager::GetParameter(int32_t index) const
{
    return const_cast<AAX_CParameterManager*>(this)->GetParameter(index);
}

AAX_IParameter* AAX_CParameterManager::GetParameterByID(AAX_CParamID identifier)
{
    if (identifier == nullptr)
        return nullptr;
    const auto found = mParametersMap.find(identifier);
    return found != mParametersMap.end() ? found->second : nullptr;
}

const AAX_IParameter* AAX_CParameterManager::GetParameterByID(AAX_CParamID identifier) const
{
    return const_cast<AAX_CParameterManager*>(this)->GetParameterByID(identifier);
}

int32_t AAX_CParameterManager::GetParameterIndex(AAX_CParamID identifier) const
{
    if (identifier == nullptr)
        return -1;
    for (size_t i = 0; i < mParameters.size(); ++i)
    {
        if (mParameters[i] != nullptr && std::strcmp(mParameters[i]->Identifier(), identifier) == 0)
            return static_cast<int32_t>(i);
    }
    return -1;
}
