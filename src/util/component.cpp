#include "util/component.h"

#include <algorithm>

namespace tvx::platform {

TComponent::TComponent(TComponent* owner) : m_owner(owner) {
  if (m_owner != nullptr) {
    m_owner->insertComponent(this);
  }
}

TComponent::~TComponent() {
  m_state |= csDestroying;
  // Each owned component removes itself from m_components as it is destroyed.
  while (!m_components.empty()) {
    delete m_components.back();
  }
  if (m_owner != nullptr) {
    m_owner->removeComponent(this);
  }
}

void TComponent::insertComponent(TComponent* child) {
  m_components.push_back(child);
}

void TComponent::removeComponent(TComponent* child) {
  auto it = std::find(m_components.begin(), m_components.end(), child);
  if (it != m_components.end()) {
    m_components.erase(it);
  }
}

}  // namespace tvx::platform
