#pragma once

// What both netlist readers share: the nets by name, the parts with their references kept
// unique, the bounds on counts, and error messages that name the file and the line.
#include "circuit/circuit_model.h"
#include "netlist/tools.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

namespace tarnwick::circuit {

std::string LowerAscii(std::string_view text);

class CircuitBuilder {
public:
  explicit CircuitBuilder(std::string fileName) : fileName_(std::move(fileName)) {}

  // The index of the net of this name, added when new.
  std::int32_t Net(const std::string &name, std::int64_t line);
  // Adds a part. Its reference must differ (without regard to case) from every other part's;
  // an integrated circuit must fit the largest DIP socket.
  void AddPart(Part part);
  void AddUnread(std::int64_t line, std::string_view text);

  // Throws "<file>: line <line>: <what>" (without the line when it is 0).
  [[noreturn]] void Fail(std::int64_t line, const std::string &what) const;

  const Circuit &Built() const { return circuit_; }
  Circuit Finish() { return std::move(circuit_); }

private:
  std::string fileName_;
  Circuit circuit_;
  std::unordered_map<std::string, std::int32_t> nets_;
  std::unordered_map<std::string, std::int64_t> references_; // lower case -> line
  std::size_t pins_ = 0;
};

} // namespace tarnwick::circuit
