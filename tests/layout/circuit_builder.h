#pragma once

// Circuits written in code for the layout tests.
#include "circuit/circuit_model.h"

#include <initializer_list>
#include <string>

namespace tarnwick::layout_test {

class CircuitBuilder {
public:
  // The net of a name, made on first use; "" connects to nothing.
  std::int32_t Net(const std::string &name) {
    if (name.empty())
      return -1;
    for (std::size_t i = 0; i < c_.Nets.size(); ++i)
      if (c_.Nets[i] == name)
        return static_cast<std::int32_t>(i);
    c_.Nets.push_back(name);
    return static_cast<std::int32_t>(c_.Nets.size() - 1);
  }
  // A part whose pins, numbered from 1, join the named nets in turn.
  CircuitBuilder &Add(circuit::PartKind kind, const std::string &ref, const std::string &value,
                      std::initializer_list<std::string> nets) {
    circuit::Part p;
    p.Kind = kind;
    p.Reference = ref;
    p.Value = value;
    int n = 1;
    for (const std::string &net : nets)
      p.Pins.push_back({std::to_string(n++), Net(net)});
    c_.Parts.push_back(std::move(p));
    return *this;
  }
  const circuit::Circuit &Get() const { return c_; }

private:
  circuit::Circuit c_;
};

} // namespace tarnwick::layout_test
