#pragma once

#include <string>
#include <string_view>

#include "racks/form_object.h"
#include "racks/result.h"

namespace korvane::racks {

// The textual form notation of form designers, for writing, reviewing and diffing racks:
//
//   object frmRack: TfrmRack            ('inherited' / 'inline' for those prefix flags;
//     Left = 306                          ' [3]' after the class for a child position)
//     Caption = 'It''s'#13#10'next'     (quotes doubled, #NN for other bytes; 'a' + 'b' joins)
//     Width = 1.5                       (extended; 1.5s single, 1.5d date, 1.5c currency)
//     BorderIcons = [biSystemMenu]      Visible = True   Tag = nil   Data = Null
//     Picture.Data = {0A54...}          Items.Strings = ('one' 'two')
//     Palette = <item [2] Low = 1 end>
//     object label1: TLabel ... end
//   end
//
// Integers take the smallest tag that holds them and strings the short form up to 255 bytes,
// as form designers write them. Reading also takes hex integers ($00FF8000, the 64 bits of a
// two's complement value at most), which other tools write. Anything else is spelt with a type word glued to '(':
//   Int8(5) Int16(5) Int32(5) Int64(5)   an integer stored wider than it needs
//   LongString('...')                    a long string of at most 255 bytes
//   WideString('...'#1234) Utf8String('...')   (the #NN of a wide string are UTF-16 units)
//   Ident('True')                        an identifier that is not a plain identifier or reads
//                                        as a keyword value (True, False, nil, Null)
//   Extended({..}) Single({..}) Date({..})   raw little-endian bits, for floats that have no
//                                        exact decimal text (NaN, infinities)
//   object(240) name: TClass             a prefix byte that the keywords cannot express
// A plain string with a #NN above 255 becomes a wide string. So text written here reads back
// to the same stream byte for byte.

// Fails for names that the notation cannot carry (not identifiers, or keywords such as 'end').
TResult<std::string> FormToText(const TFormObject& root);
TResult<TFormObject> FormFromText(std::string_view text);

}  // namespace korvane::racks
