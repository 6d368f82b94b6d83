// Runs a compiled dBASE expression against the current records of the work areas: a small
// stack machine with a work stack of typed values and a working pool for character values.
#pragma once

#include <cstddef>
#include <cstdint>

#include "xbase/work_areas.h"
#include "xbase/xbase_expr_compiler.h"

// CurrentExpr (work_areas.h) is the expression that EvaluateCurrentExpr runs; SelectExpr sets it.

// nil for a nil handle; otherwise runs the expression and returns its Result.
TExprResult EvaluateExpr(CompiledExpr*& handle);
// Same for CurrentExpr, without the nil check (the index layer's fast path).
TExprResult EvaluateCurrentExpr();
// Makes the expression current with an empty stack and pool.
void SelectExpr(CompiledExpr* expr);

// Copies size bytes to the current expression's pool; nil and error 354 when they don't fit.
char* Allocate(const char* text, std::size_t size);
// Work-stack push of a value; for character values length is the text's length, or -1 to take
// the zero-terminated length. Unknown type codes give error 356.
void PushWD(std::int32_t type, const void* value, int length);
// Pops the top value; returns a pointer to it (number, int32 or text).
const void* PopWD();

// Pushes the value of field n of the current record of an area (33 or above: the current area)
// onto the current expression's stack; typeCode is the type the compiler saw (blank values of
// that type stand in for a field that is not there).
void FieldToParserValue(int fieldNumber, int area, std::int32_t typeCode);

// Convenience readers of a result (after EvaluateExpr).
double ExprNumber(const CompiledExpr* expr);
bool ExprLogical(const CompiledExpr* expr);
const char* ExprString(const CompiledExpr* expr);
