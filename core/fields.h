// The seven typed fields of the input window, in the order the commands check them, with the
// messages shown when one is empty or holds a bad character.
#pragma once

#include <array>
#include <cstddef>
#include <span>
#include <string>
#include <string_view>

enum class Field
{
    Text1,
    Text7,
    Text12,
    Text13,
    Text3,
    Text8,
    Text2
};
constexpr std::size_t FieldCount = 7;

// The texts of the seven fields, indexed by Field.
class FieldTexts
{
public:
    std::u16string &operator[](Field f) { return texts_[static_cast<std::size_t>(f)]; }
    const std::u16string &operator[](Field f) const { return texts_[static_cast<std::size_t>(f)]; }

private:
    std::array<std::u16string, FieldCount> texts_;
};

struct FieldMessages
{
    std::u16string_view missing; // the field is empty
    std::u16string_view invalid; // the field holds a character outside the number alphabet
};

const FieldMessages &MessagesFor(Field field);

// The control's name in the input window ("Text1", ...).
std::string_view FieldName(Field field);

// What the field holds, as the messages name it ("il numero di campioni").
std::u16string_view FieldDescription(Field field);

// The harmonic modulus command checks all seven fields; the graphs command the first six.
constexpr std::array<Field, 7> HarmonicModulusFieldOrder
    = {Field::Text1, Field::Text7, Field::Text12, Field::Text13,
       Field::Text3, Field::Text8, Field::Text2};
constexpr std::span<const Field> GraphsFieldOrder(HarmonicModulusFieldOrder.data(), 6);
