#pragma once

#include <string>
#include <vector>

namespace tvx::platform {

// The platform's component base: a named object that may own other components and releases
// them when it is destroyed. Components made by a form loader are flagged as loading until
// the loader calls Loaded().
class TComponent {
 public:
  enum State : unsigned { csLoading = 1, csDesigning = 2, csDestroying = 4 };

  explicit TComponent(TComponent* owner = nullptr);
  virtual ~TComponent();
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  const std::string& pr_Name() const { return m_name; }
  void pw_Name(const std::string& name) { m_name = name; }
  TComponent* pr_Owner() const { return m_owner; }
  unsigned pr_ComponentState() const { return m_state; }
  const std::vector<TComponent*>& pr_Components() const { return m_components; }

  // A loader sets csLoading, assigns the stored properties, then calls Loaded().
  void BeginLoading() { m_state |= csLoading; }
  virtual void Loaded() { m_state &= ~static_cast<unsigned>(csLoading); }

 private:
  void insertComponent(TComponent* child);
  void removeComponent(TComponent* child);

  std::string m_name;
  TComponent* m_owner;
  unsigned m_state = 0;
  std::vector<TComponent*> m_components;
};

}  // namespace tvx::platform
