// The class library's foundation: TObject with its class name, geometry, string lists, and
// TComponent, which owns the components created with it as owner and keeps them in creation
// order. That order is stable for the life of the owner: remembered form states address
// components by their index in it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vcl {

class TObject {
public:
    TObject() = default;
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;
    virtual ~TObject() = default;

    /// The name of the object's own (most derived) class without its namespace: "TEdit",
    /// "TOptionsForm".
    std::string ClassName() const;
};

using TNotifyEvent = std::function<void(TObject* Sender)>;

struct TPoint {
    int32_t X = 0;
    int32_t Y = 0;
    bool operator==(const TPoint&) const = default;
};

struct TRect {
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Right = 0;
    int32_t Bottom = 0;

    int32_t Width() const { return Right - Left; }
    int32_t Height() const { return Bottom - Top; }
    bool operator==(const TRect&) const = default;
};

inline TRect Rect(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    return TRect{left, top, right, bottom};
}
inline TRect Bounds(int32_t left, int32_t top, int32_t width, int32_t height) {
    return TRect{left, top, left + width, top + height};
}

/// a * b / c rounded to the nearest integer (halves away from zero), as the system's MulDiv.
int32_t MulDiv(int32_t a, int32_t b, int32_t c);

/// Case-insensitive comparison of ASCII letters, as the class library compares names.
bool SameText(std::string_view a, std::string_view b);

/// A list of strings. The control that shows a list is told of every change, so that its
/// selection and check marks follow the items.
class TStrings {
public:
    enum class Change { Inserted, Deleted, Cleared, Replaced };
    using Listener = std::function<void(Change change, int32_t index)>;

    int32_t Count() const { return static_cast<int32_t>(m_items.size()); }
    /// The item at `index`; throws std::out_of_range ("List index out of bounds") outside the list.
    const std::string& Strings(int32_t index) const;
    const std::string& operator[](int32_t index) const { return Strings(index); }
    void SetStrings(int32_t index, std::string_view text);
    int32_t Add(std::string_view text);
    void Insert(int32_t index, std::string_view text);
    void Delete(int32_t index);
    void Clear();
    /// The first item equal to `text` regardless of case; -1 when there is none.
    int32_t IndexOf(std::string_view text) const;
    /// The items joined by "\n".
    std::string Text() const;
    /// Replaces the items by the lines of `text` ("\r\n" and "\n" both end a line).
    void SetText(std::string_view text);
    void Assign(const std::vector<std::string>& items);
    const std::vector<std::string>& Items() const { return m_items; }

    /// Set by the control that shows the list.
    void SetListener(Listener listener) { m_listener = std::move(listener); }

private:
    void CheckIndex(int32_t index, int32_t limit) const;
    void Notify(Change change, int32_t index);

    std::vector<std::string> m_items;
    Listener m_listener;
};

class TComponent : public TObject {
public:
    /// The component joins its owner's component list at the end; the owner frees it.
    explicit TComponent(TComponent* owner);
    /// Frees the owned components (last created first) and leaves the owner's list.
    ~TComponent() override;

    TComponent* Owner() const { return m_owner; }
    const std::string& Name() const { return m_name; }
    void SetName(std::string_view name) { m_name = std::string(name); }
    int32_t Tag() const { return m_tag; }
    void SetTag(int32_t tag) { m_tag = tag; }

    int32_t ComponentCount() const { return static_cast<int32_t>(m_components.size()); }
    /// The owned component at `index` in creation order; throws std::out_of_range outside the list.
    TComponent* Components(int32_t index) const;
    /// The component's position in its owner's list; -1 without owner.
    int32_t ComponentIndex() const;
    /// The owned component of that name (case-insensitive); nullptr when none.
    TComponent* FindComponent(std::string_view name) const;

    /// The second phase of construction, run by Create once the most derived constructor has
    /// finished (forms capture their default state here).
    virtual void AfterConstruction() {}
    /// The component is being freed: no events run any more.
    bool Destroying() const { return m_destroying; }

protected:
    /// Marks the component as being freed and frees its owned components now, while the
    /// derived parts of the component still exist.
    void DestroyComponents();

private:
    TComponent* m_owner = nullptr;
    std::vector<TComponent*> m_components;
    std::string m_name;
    int32_t m_tag = 0;
    bool m_destroying = false;
};

/// Creates a component in both phases of construction: the constructor, then AfterConstruction.
/// With an owner the owner frees it; without one the caller does.
template <class T, class... Args>
T* Create(Args&&... args) {
    T* object = new T(std::forward<Args>(args)...);
    try {
        object->AfterConstruction();
    } catch (...) {
        delete object;
        throw;
    }
    return object;
}

}  // namespace vcl
