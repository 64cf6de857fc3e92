#include <utility>

#include "tools/demodata/texts/LocalisedText.h"

namespace {

std::string englishOrdinal(int n) {
    const char* suffix = n == 1 ? "st" : n == 2 ? "nd" : n == 3 ? "rd" : "th";
    return std::to_string(n) + suffix;
}

// The place a new high score takes, 1 to 10; the first place cheers a little more.
LocalisedText rankText(int place) {
    const std::string n = std::to_string(place);
    if (place == 1)
        return {4010, {"Spitze! Platz 1 in der Bestenliste!", "Top spot! 1st place in the high scores!",
                       "Au sommet\u00a0! 1re place du classement\u00a0!", "¡Primer puesto en los récords!",
                       "In vetta! 1° posto in classifica!", "Первое место в таблице рекордов!"}};
    return {4009 + place, {"Platz " + n + " in der Bestenliste!", englishOrdinal(place) + " place in the high scores!",
                           n + "e place du classement\u00a0!", "¡Puesto " + n + " en los récords!",
                           n + "° posto in classifica!", n + "-е место в таблице рекордов!"}};
}

} // namespace

// French sets a no-break space before ":", "!" and "?"; written "\u00a0" below.
std::vector<LocalisedText> ingameTexts() {
    std::vector<LocalisedText> texts = {
        // The computer riders, one per moped model; each country meets its own.
        {100, {"Opa Herbert", "Grandpa Bert", "Papy Marcel", "Abuelo Paco", "Nonno Gino", "Дед Матвей"}},
        {200, {"Turbo-Tina", "Turbo Tina", "Tina Turbo", "Tina Turbo", "Tina Turbo", "Турбо-Тина"}},
        {300, {"Roller-Ronny", "Scooter Sam", "Sami Scooter", "Santi Scooter", "Sandro Scooter", "Саня Скутер"}},
        {400, {"Bella Bianchi", "Bella Bianchi", "Bella Bianchi", "Bella Bianchi", "Bella Bianchi", "Белла Бьянки"}},
        {500, {"Matsch-Max", "Muddy Max", "Max la Gadoue", "Max Barro", "Max Fango", "Макс Грязюка"}},

        // Panel labels and the headings of the result tables.
        {1000, {"Runde", "Lap", "Tour", "Vuelta", "Giro", "Круг"}},
        {1001, {"Platz", "Position", "Position", "Posición", "Posizione", "Место"}},
        {1002, {"Zeit", "Time", "Temps", "Tiempo", "Tempo", "Время"}},
        {1003, {"Beste Runde", "Best lap", "Meilleur tour", "Mejor vuelta", "Miglior giro", "Лучший круг"}},
        {1004, {"Gesamt", "Total", "Total", "Total", "Totale", "Итого"}},
        {1007, {"Punkte", "Points", "Points", "Puntos", "Punti", "Очки"}},
        {1008, {"Platz", "Place", "Place", "Puesto", "Posizione", "Место"}},
        {1009, {"Name", "Name", "Nom", "Nombre", "Nome", "Имя"}},
        {1010, {"Deine Rundenzeiten", "Your lap times", "Vos temps au tour", "Tus tiempos por vuelta",
                "I tuoi tempi sul giro", "Время по кругам"}},
        {1020, {"Zwischenstand", "Standings", "Classement", "Clasificación", "Classifica", "Турнирная таблица"}},
        {1021, {"Endstand", "Final standings", "Classement final", "Clasificación final", "Classifica finale",
                "Итоги чемпионата"}},
        {1040, {"Rennergebnis", "Race result", "Résultat de la course", "Resultado de la carrera",
                "Risultato della gara", "Итоги гонки"}},

        // Buttons and the pause panel.
        {2002, {"Weiter", "Continue", "Continuer", "Continuar", "Continua", "Далее"}},
        {2010, {"Pause", "Paused", "Pause", "Pausa", "Pausa", "Пауза"}},

        // Name entry; 4030 names the rider who drops out of an elimination race.
        {4000, {"Neuer Rekord!", "New high score!", "Nouveau record\u00a0!", "¡Nuevo récord!", "Nuovo record!",
                "Новый рекорд!"}},
        {4001, {"Gib deinen Namen ein:", "Enter your name:", "Entrez votre nom\u00a0:", "Escribe tu nombre:",
                "Inserisci il tuo nome:", "Введите своё имя:"}},
        {4030, {"[NICKNAME] ist ausgeschieden!", "[NICKNAME] is out!", "[NICKNAME] est hors course\u00a0!",
                "¡[NICKNAME] queda fuera!", "[NICKNAME] è fuori gara!", "[NICKNAME] выбывает из гонки!"}},
        {4032, {"ausgeschieden", "out", "hors course", "fuera", "fuori gara", "вне гонки"}},
        // After the name entry, when "highscore.dat" could not be written: a full disk, a folder that
        // takes no files, a file left alone because it could not be read, a disk that failed.
        {4040, {"Dein Eintrag in der Bestenliste konnte nicht gespeichert werden: Der Datenträger ist voll. Bis "
                "zum Beenden des Spiels bleibt er in der Bestenliste. Schaffe Platz auf dem Datenträger; "
                "Einzelheiten stehen in [LOGFILE].",
                "Your high score could not be saved: the disk is full. It stays in the high-score tables until you "
                "quit the game. Free some space on the disk; the details are in [LOGFILE].",
                "Votre record n'a pas pu être enregistré\u00a0: le disque est plein. Il reste dans les tableaux des "
                "records jusqu'à ce que vous quittiez le jeu. Libérez de la place sur le disque\u00a0; les détails "
                "figurent dans [LOGFILE].",
                "No se ha podido guardar tu récord: el disco está lleno. Seguirá en las tablas de récords hasta que "
                "salgas del juego. Libera espacio en el disco; los detalles están en [LOGFILE].",
                "Non è stato possibile salvare il tuo record: il disco è pieno. Resterà nelle classifiche finché non "
                "esci dal gioco. Libera spazio sul disco; i dettagli sono in [LOGFILE].",
                "Не удалось сохранить ваш рекорд: диск заполнен. Рекорд останется в таблицах до выхода из игры. "
                "Освободите место на диске; подробности — в файле [LOGFILE]."}},
        {4041, {"Dein Eintrag in der Bestenliste konnte nicht gespeichert werden: Der Spielordner lässt sich nicht "
                "beschreiben. Bis zum Beenden des Spiels bleibt er in der Bestenliste. Einzelheiten stehen in "
                "[LOGFILE].",
                "Your high score could not be saved: the game's folder cannot be written to. It stays in the "
                "high-score tables until you quit the game. The details are in [LOGFILE].",
                "Votre record n'a pas pu être enregistré\u00a0: le dossier du jeu n'est pas accessible en écriture. "
                "Il reste dans les tableaux des records jusqu'à ce que vous quittiez le jeu. Les détails figurent "
                "dans [LOGFILE].",
                "No se ha podido guardar tu récord: no se puede escribir en la carpeta del juego. Seguirá en las "
                "tablas de récords hasta que salgas del juego. Los detalles están en [LOGFILE].",
                "Non è stato possibile salvare il tuo record: la cartella del gioco non è scrivibile. Resterà nelle "
                "classifiche finché non esci dal gioco. I dettagli sono in [LOGFILE].",
                "Не удалось сохранить ваш рекорд: в папку игры нельзя записывать. Рекорд останется в таблицах до "
                "выхода из игры. Подробности — в файле [LOGFILE]."}},
        {4042, {"Dein Eintrag in der Bestenliste konnte nicht gespeichert werden: highscore.dat ließ sich nicht "
                "lesen und bleibt daher, wie es ist. Bis zum Beenden des Spiels bleibt dein Eintrag in der "
                "Bestenliste. Einzelheiten stehen in [LOGFILE].",
                "Your high score could not be saved: highscore.dat could not be read, so it is left as it is. Your "
                "score stays in the high-score tables until you quit the game. The details are in [LOGFILE].",
                "Votre record n'a pas pu être enregistré\u00a0: highscore.dat n'a pas pu être lu, il est donc laissé "
                "tel quel. Votre record reste dans les tableaux jusqu'à ce que vous quittiez le jeu. Les détails "
                "figurent dans [LOGFILE].",
                "No se ha podido guardar tu récord: no se pudo leer highscore.dat, así que se deja tal como está. Tu "
                "récord seguirá en las tablas hasta que salgas del juego. Los detalles están en [LOGFILE].",
                "Non è stato possibile salvare il tuo record: non è stato possibile leggere highscore.dat, quindi "
                "resta com'è. Il tuo record resterà nelle classifiche finché non esci dal gioco. I dettagli sono in "
                "[LOGFILE].",
                "Не удалось сохранить ваш рекорд: файл highscore.dat не удалось прочитать, поэтому он оставлен без "
                "изменений. Рекорд останется в таблицах до выхода из игры. Подробности — в файле [LOGFILE]."}},
        {4043, {"Dein Eintrag in der Bestenliste konnte nicht gespeichert werden: Der Datenträger hat einen Fehler "
                "gemeldet. Bis zum Beenden des Spiels bleibt er in der Bestenliste. Einzelheiten stehen in [LOGFILE].",
                "Your high score could not be saved: the disk reported an error. It stays in the high-score tables "
                "until you quit the game. The details are in [LOGFILE].",
                "Votre record n'a pas pu être enregistré\u00a0: le disque a signalé une erreur. Il reste dans les "
                "tableaux des records jusqu'à ce que vous quittiez le jeu. Les détails figurent dans [LOGFILE].",
                "No se ha podido guardar tu récord: el disco ha informado de un error. Seguirá en las tablas de "
                "récords hasta que salgas del juego. Los detalles están en [LOGFILE].",
                "Non è stato possibile salvare il tuo record: il disco ha segnalato un errore. Resterà nelle "
                "classifiche finché non esci dal gioco. I dettagli sono in [LOGFILE].",
                "Не удалось сохранить ваш рекорд: диск сообщил об ошибке. Рекорд останется в таблицах до выхода из "
                "игры. Подробности — в файле [LOGFILE]."}},

        // Pause window, start panel and network messages.
        {9000, {"Weiterfahren", "Continue", "Reprendre", "Continuar", "Riprendi", "Продолжить"}},
        {9008, {"Warten auf die anderen Fahrer …", "Waiting for the other riders...",
                "En attente des autres pilotes...", "Esperando a los demás pilotos...",
                "In attesa degli altri piloti...", "Ожидание других гонщиков..."}},
        {9010, {"Neu starten", "Restart", "Recommencer", "Reiniciar", "Ricomincia", "Заново"}},
        {9020, {"Zurück zum Menü", "Back to menu", "Retour au menu", "Volver al menú", "Torna al menu",
                "Выйти в меню"}},
        {9050, {"Drücke die LEERTASTE zum Start!", "Press SPACE to start!", "Appuyez sur ESPACE pour partir\u00a0!",
                "¡Pulsa ESPACIO para empezar!", "Premi SPAZIO per partire!", "Нажмите ПРОБЕЛ, чтобы начать!"}},
        {9110, {"Ein Mitspieler hat das Rennen verlassen. Das Netzwerkspiel ist beendet.",
                "A player has left the race. The network game is over.",
                "Un joueur a quitté la course. La partie en réseau est terminée.",
                "Un jugador ha abandonado la carrera. La partida en red ha terminado.",
                "Un giocatore ha lasciato la gara. La partita in rete è terminata.",
                "Один из игроков покинул гонку. Сетевая игра окончена."}},
    };
    for (int place = 1; place <= 10; ++place) texts.push_back(rankText(place));
    const std::vector<LocalisedText> shared = sharedTexts();
    for (auto [id, newId] : {std::pair{1000, 2000}, {9000, 9100}, {9004, 9140}})
        texts.push_back(copyOf(shared, id, newId));
    for (LocalisedText& t : trackNames()) texts.push_back(std::move(t));
    return texts;
}
