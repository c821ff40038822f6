#include "fields.h"

namespace {

struct FieldInfo
{
    std::string_view name;
    std::u16string_view description;
    FieldMessages messages;
};

const std::array<FieldInfo, FieldCount> Fields = {{
    {"Text1",
     u"il Duty Cycle dell'impulso",
     {u"Hai dimenticato di scrivere il Duty Cycle dell'impulso ",
      u"Errore di inserimento dati per il Duty Cycle dell'impulso. Puoi scrivere soltanto numeri "
      u"razionali "
      u"con il punto come separatore decimale, anche in forma esponenziale. Ad es: 1.23 , 1E-5 , "
      u"5E3"}},
    {"Text7",
     u"l'ampiezza dell'impulso Vmax",
     {u"Hai dimenticato di scrivere l'ampiezza dell'impulso Vmax",
      u"Errore di inserimento dati per l'ampiezza dell'impulso Vmax. Puoi scrivere soltanto numeri "
      u"razionali "
      u"con il punto come separatore decimale, anche in forma esponenziale. Ad es: 1.23 , 1E-5 , "
      u"5E3"}},
    {"Text12",
     u"la frequenza del segnale f",
     {u"Hai dimenticato di scrivere la frequenza del segnale f ",
      u"Errore di inserimento dati per la frequenza del segnale f . Puoi scrivere soltanto numeri "
      u"razionali "
      u"con il punto come separatore decimale, anche in forma esponenziale. Ad es: 1.23 , 1E-5 , "
      u"5E3"}},
    {"Text13",
     u"il numero di campioni",
     {u"Hai dimenticato di scrivere il numero di campioni",
      u"Errore di inserimento dati per il numero di campioni. Puoi scrivere soltanto numeri "
      u"razionali "
      u"con il punto come separatore decimale, anche in forma esponenziale. Ad es: 1.23 , 1E-5 , "
      u"5E3"}},
    {"Text3",
     u"il numero delle armoniche dello spettro visualizzate",
     {u"Hai dimenticato di scrivere il numero delle armoniche dello spettro visualizzate ",
      u"Errore di inserimento dati per il numero delle armoniche dello spettro visualizzate . Puoi "
      u"scrivere soltanto numeri razionali "
      u"con il punto come separatore decimale, anche in forma esponenziale. Ad es: 1.23 , 1E-5 , "
      u"5E3"}},
    {"Text8",
     u"il numero di periodi di s(t) visualizzati",
     {u"Hai dimenticato di scrivere il numero di periodi di s(t) visualizzati",
      u"Errore di inserimento dati per il numero di periodi di s(t) visualizzati. Puoi scrivere "
      u"soltanto numeri razionali "
      u"con il punto come separatore decimale, anche in forma esponenziale. Ad es: 1.23 , 1E-5 , "
      u"5E3"}},
    {"Text2",
     u"il numero della armonica di cui si vuole calcolare il modulo",
     {u"Hai dimenticato di scrivere il numero della armonica di cui si vuole calcolare il modulo",
      u"Errore di inserimento dati per il numero della armonica di cui si vuole calcolare il "
      u"modulo. Puoi scrivere soltanto numeri razionali "
      u"con il punto come separatore decimale, anche in forma esponenziale. Ad es: 1.23 , 1E-5 , "
      u"5E3"}},
}};

} // namespace

const FieldMessages &MessagesFor(Field field)
{
    return Fields[static_cast<std::size_t>(field)].messages;
}

std::string_view FieldName(Field field)
{
    return Fields[static_cast<std::size_t>(field)].name;
}

std::u16string_view FieldDescription(Field field)
{
    return Fields[static_cast<std::size_t>(field)].description;
}
