#pragma once

#include <string>

namespace netsim {

// The name part of every named model object.
class Name {
public:
    explicit Name(std::string name = std::string()) : name_(std::move(name)) {}
    virtual ~Name() = default;

    const std::string& ownName() const { return name_; }
    void setOwnName(std::string name) { name_ = std::move(name); }

protected:
    std::string name_;
};

// A named model object that stands on its own (a device, a bus, a link).
class Component : public Name {
public:
    explicit Component(std::string name = std::string()) : Name(std::move(name)) {}
    ~Component() override = default;

    virtual const Component* owner() const { return this; }
    virtual const std::string& name() const { return name_; }
};

// A part of a component; its name is qualified by its parent's, so the CPU of ECU1 is
// "ECU1.CPU" everywhere. The qualified name is built on first request and kept, because the
// parent's name is final once the model is assembled.
class SubComponent : public Component {
public:
    SubComponent(const Component* parent, std::string ownName)
        : Component(std::move(ownName)), parent_(parent) {}
    ~SubComponent() override = default;

    const Component* owner() const override { return parent_ != nullptr ? parent_->owner() : this; }
    const std::string& name() const override;
    const Component* parent() const { return parent_; }

private:
    const Component* parent_;
    mutable std::string fullName_;
};

inline const std::string& SubComponent::name() const {
    if (fullName_.empty()) fullName_ = parent_ != nullptr ? parent_->name() + "." + name_ : name_;
    return fullName_;
}

}  // namespace netsim
