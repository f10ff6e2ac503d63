#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "engine/dispatch.h"
#include "serial/port_choice.h"

namespace korvane::serial {

class TPortTable;

// Shows the port-settings dialog over the openable ports (com1, com2, ...); nothing when
// the user closed it without choosing.
using TAskPortSettings =
    std::function<std::optional<TPortChoice>(const std::vector<std::string>& ports)>;

// The serial statements: openport, closeport, the four line commands, flush, send,
// showterm, hideterm and setport.
void BindSerialStatements(engine::TDispatch& dispatch, TPortTable& table, TAskPortSettings ask);
// The serial functions: enumports, receive, getcts, getdsr, getrlsd and getring.
void BindSerialFunctions(engine::TDispatch& dispatch, TPortTable& table);

// Ports as flush, send, receive and the get functions read them: "com" in lower case and a
// whole number after it; nothing otherwise.
std::optional<int> StrictPortNumber(std::string_view name);

// What send, receive and the get functions report while a port's device is away.
std::string LostMessage(int number);

}  // namespace korvane::serial
