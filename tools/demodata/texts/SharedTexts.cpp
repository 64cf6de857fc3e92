#include <stdexcept>

#include "tools/demodata/texts/LocalisedText.h"

LocalisedText sameEverywhere(int id, const std::string& text) {
    return {id, {text, text, text, text, text, text}};
}

LocalisedText copyOf(const std::vector<LocalisedText>& texts, int id, int newId) {
    for (const LocalisedText& t : texts)
        if (t.id == id) {
            LocalisedText copy = t;
            copy.id = newId;
            return copy;
        }
    throw std::logic_error("no text " + std::to_string(id) + " to copy");
}

std::vector<LocalisedText> sharedTexts() {
    return {
        {1000, {"OK", "OK", "OK", "Aceptar", "OK", "ОК"}},
        {9000, {"Die Verbindung zum Netzwerkspiel ist abgebrochen.", "The connection to the network game was lost.",
                "La connexion à la partie en réseau a été perdue.", "Se ha perdido la conexión con la partida en red.",
                "La connessione alla partita in rete si è interrotta.", "Соединение с сетевой игрой потеряно."}},
        {9004, {"Der Gastgeber hat das Spiel beendet.", "The host has closed the game.", "L'hôte a mis fin à la partie.",
                "El anfitrión ha cerrado la partida.", "L'host ha chiuso la partita.", "Хост завершил игру."}},
    };
}

std::vector<LocalisedText> trackNames() {
    return {
        {3000, {"Parkhaus", "Multi-Storey Car Park", "Parking à étages", "Parking de varias plantas",
                "Parcheggio multipiano", "Многоэтажная парковка"}},
        {3100, {"Einkaufszentrum", "Shopping Centre", "Centre commercial", "Centro comercial", "Centro commerciale",
                "Торговый центр"}},
        {3200, {"Stadtpark", "City Park", "Parc municipal", "Parque municipal", "Parco cittadino", "Городской парк"}},
        {3300, {"Großparkplatz", "Open-Air Car Park", "Parking en plein air", "Parking al aire libre",
                "Parcheggio all'aperto", "Открытая парковка"}},
        {3400, {"Wohnsiedlung", "Housing Estate", "Quartier résidentiel", "Barrio residencial",
                "Quartiere residenziale", "Жилой квартал"}},
        {3500, {"Landstraße", "Country Road", "Route de campagne", "Carretera comarcal", "Strada di campagna",
                "Загородная дорога"}},
    };
}
