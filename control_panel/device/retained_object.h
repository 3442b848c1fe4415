// A reference-counted object: starts with one reference; the last Release() deletes it.
// Used from the GUI thread only.
//
// RetainedObject: the reference count that AVCIO is built on.
#pragma once

namespace velmora {

class RetainedObject {
 public:
  void Retain() { ++references_; }
  void Release() {
    if (--references_ == 0) delete this;
  }
  int References() const { return references_; }

 protected:
  RetainedObject() = default;
  virtual ~RetainedObject() = default;
  RetainedObject(const RetainedObject&) = delete;
  RetainedObject& operator=(const RetainedObject&) = delete;

 private:
  int references_ = 1;
};

}  // namespace velmora
