// State slots: the private state of parts that an owner holds without knowing its layout. A tool
// context keeps each tool's own working state in its slots (the playback run's layer answers,
// New Spacing's recorded changes, a print run's position), the module keeps the process-wide
// state of the forms, text expressions and tools in its own. The part that owns a state type
// defines it in its header and reaches it with `Get<T>()`; the owner only destroys it.
#pragma once

#include <memory>
#include <typeindex>
#include <utility>
#include <vector>

namespace orvex {

class StateSlots {
public:
    StateSlots() = default;
    ~StateSlots() { Clear(); }
    StateSlots(const StateSlots&) = delete;
    StateSlots& operator=(const StateSlots&) = delete;

    /// The state of type T, default-made on first use.
    template <class T>
    T& Get() {
        if (T* found = Find<T>(); found != nullptr) {
            return *found;
        }
        m_slots.push_back(Slot{typeid(T), Holder(new T(), [](void* state) { delete static_cast<T*>(state); })});
        return *static_cast<T*>(m_slots.back().state.get());
    }

    /// The state of type T when it was made, else none.
    template <class T>
    T* Find() const {
        for (const Slot& slot : m_slots) {
            if (slot.type == typeid(T)) {
                return static_cast<T*>(slot.state.get());
            }
        }
        return nullptr;
    }

    /// Destroys every state, the one made last first.
    void Clear() {
        while (!m_slots.empty()) {
            // Out of the list before it goes: a state's destructor finds the slots consistent.
            const Slot last = std::move(m_slots.back());
            m_slots.pop_back();
        }
    }

private:
    using Holder = std::unique_ptr<void, void (*)(void*)>;
    struct Slot {
        std::type_index type;
        Holder state;
    };
    std::vector<Slot> m_slots;
};

}  // namespace orvex
