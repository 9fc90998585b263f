// Numbers read out of an attribute record's arrays for the editors of lists of numbers. A stored
// array may be missing, of another kind, shorter or longer than the editor expects, or hold
// things that are not finite numbers: only a finite number is read as such, everything else
// (including a place past the end) reads as 0, so no editor ever reads outside an array.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "platform/runtime/value.h"

// Element i of an array value as a float; 0 when it is missing or not a finite number.
float adjArrayFloat(const Value& array, std::size_t i);
// The first n numbers of the record's key, padded with 0.
std::vector<float> adjRecordFloats(const Value& record, std::string_view key, std::size_t n);
// The number of elements of the record's key when it is an array, else 0.
std::size_t adjRecordCount(const Value& record, std::string_view key);
// Writes one number at index i of the record's "value" array through the element setter; an array
// too short (or a value that is no array) is first padded with zeros up to i, so the write always
// lands and nothing is written outside the array.
void adjWriteArrayElement(const Value& record, std::size_t i, double v);
