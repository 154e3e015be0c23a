// Placing values into the statements sent to the ERP database. Every value that goes between the
// apostrophes of a SQL text literal passes through escapeSql, so that no typed or stored text can
// end its literal; a value placed as a bare number passes through sqlNumber.
//
// Typical use, the statement written as the ERP expects it with the values escaped in place:
//   sql + " WHERE (cVenAbbName='" + escapeSql(v) + "' OR cVenCode='" + escapeSql(v) + "')"
#pragma once

#include <string>
#include <string_view>

#include "tallyward/variant.h"

namespace tallyward {

// The text with every apostrophe doubled: the content of a literal whose quotes the statement
// writes itself.
std::string escapeSql(std::string_view text);

// A whole literal: the text between apostrophes, its own apostrophes doubled.
std::string sqlLiteral(std::string_view text);

// The text of a value as a statement joins it (Null joins as the empty text), escaped for a
// literal. Error 13 for a value that has no text (an object, a missing argument).
std::string escapeSqlValue(const Variant& value);

// A value placed in a statement as a bare number (no quotes): a Long, a Double, or a text that
// reads as a number, written in its shortest form. Anything else, the empty text and Null
// included, is error 13: a bare value must never carry SQL text of its own.
std::string sqlNumber(const Variant& value);

}  // namespace tallyward
