#include <utility>

#include "tools/demodata/texts/LocalisedText.h"

// French sets a no-break space before ":", "!" and "?"; written "\u00a0" below.
std::vector<LocalisedText> menuTexts() {
    std::vector<LocalisedText> texts = {
        // Colours 0 to 3; 500 and 600 stand for indices the choosers never reach.
        {100, {"Blau", "Blue", "Bleu", "Azul", "Blu", "Синий"}},
        {200, {"Grün", "Green", "Vert", "Verde", "Verde", "Зелёный"}},
        {300, {"Pink", "Pink", "Rose", "Rosa", "Rosa", "Розовый"}},
        {400, {"Rot", "Red", "Rouge", "Rojo", "Rosso", "Красный"}},
        {500, {"Unbekannt", "Unknown", "Inconnue", "Desconocido", "Sconosciuto", "Неизвестный"}},
        // Moped models 0 to 4 are names, the same everywhere; 705 to 707 have no moped.
        sameEverywhere(700, "Hektor 50"),
        sameEverywhere(701, "Kondor Sport"),
        sameEverywhere(702, "Swift City"),
        sameEverywhere(703, "Bella 50"),
        sameEverywhere(704, "Kaze X50"),
        {705, {"Unbekannt", "Unknown", "Inconnu", "Desconocido", "Sconosciuto", "Неизвестная"}},

        {1001, {"Ja", "Yes", "Oui", "Sí", "Sì", "Да"}},
        {1002, {"Nein", "No", "Non", "No", "No", "Нет"}},
        {1004, {"Abbrechen", "Cancel", "Annuler", "Cancelar", "Annulla", "Отмена"}},
        {1011, {"Senden", "Submit", "Envoyer", "Enviar", "Invia", "Отправить"}},
        // Detail levels; the genders follow the titles 2540 and 2550.
        {1020, {"Niedrig", "Low", "Bas", "Bajo", "Basso", "Низкое"}},
        {1021, {"Mittel", "Medium", "Moyen", "Medio", "Medio", "Среднее"}},
        {1022, {"Hoch", "High", "Élevé", "Alto", "Alto", "Высокое"}},

        // Game modes: main menu captions, mode choosers, high-score titles.
        {2000, {"Meisterschaft", "Championship", "Championnat", "Campeonato", "Campionato", "Чемпионат"}},
        {2100, {"Zeitfahren", "Time Trial", "Contre-la-montre", "Contrarreloj", "Prova a tempo", "Гонка на время"}},
        {2110, {"Einzelrennen", "Single Race", "Course simple", "Carrera simple", "Gara singola", "Одиночная гонка"}},
        {2300, {"Netzwerkspiel (LAN)", "LAN Game", "Partie en réseau local", "Partida en red local",
                "Partita in rete locale", "Игра по локальной сети"}},
        {2310, {"Spiel erstellen", "Host a game", "Créer une partie", "Crear una partida", "Crea una partita",
                "Создать игру"}},
        {2320, {"Spiel beitreten", "Join a game", "Rejoindre une partie", "Unirse a una partida",
                "Unisciti a una partita", "Присоединиться к игре"}},
        {2340, {"Rechnername oder IP-Adresse:", "Computer name or IP address:", "Nom de l'ordinateur ou adresse IP\u00a0:",
                "Nombre del equipo o dirección IP:", "Nome del computer o indirizzo IP:",
                "Имя компьютера или IP-адрес:"}},
        {2350, {"Zwei Spieler", "Two Players", "Deux joueurs", "Dos jugadores", "Due giocatori", "Два игрока"}},

        // High-score table.
        {2400, {"Bestenliste", "High Scores", "Meilleurs scores", "Récords", "Record", "Рекорды"}},
        {2420, {"Name", "Name", "Nom", "Nombre", "Nome", "Имя"}},
        {2430, {"Zeit", "Time", "Temps", "Tiempo", "Tempo", "Время"}},
        {2440, {"Punkte", "Points", "Points", "Puntos", "Punti", "Очки"}},
        {2450, {"Farbe", "Colour", "Couleur", "Color", "Colore", "Цвет"}},
        {2480, {"Modell", "Model", "Modèle", "Modelo", "Modello", "Модель"}},
        // Followed by a blank and the number of laps.
        {2471, {"Runden:", "Laps:", "Tours\u00a0:", "Vueltas:", "Giri:", "Круги:"}},

        // Options; the slider labels are followed by a blank and a percentage.
        {2500, {"Optionen", "Options", "Options", "Opciones", "Opzioni", "Настройки"}},
        {2510, {"Bildschirmauflösung", "Screen resolution", "Résolution d'écran", "Resolución de pantalla",
                "Risoluzione schermo", "Разрешение экрана"}},
        // The resolution list's entry for playing in a window.
        {2511, {"Im Fenster", "Windowed", "Fenêtré", "En ventana", "In finestra", "В окне"}},
        {2515, {"Helligkeit", "Brightness", "Luminosité", "Brillo", "Luminosità", "Яркость"}},
        {2516, {"Kontrast", "Contrast", "Contraste", "Contraste", "Contrasto", "Контрастность"}},
        {2517, {"Gamma", "Gamma", "Gamma", "Gamma", "Gamma", "Гамма"}},
        {2520, {"Musik", "Music", "Musique", "Música", "Musica", "Музыка"}},
        {2530, {"Soundeffekte", "Sound effects", "Effets sonores", "Efectos de sonido", "Effetti sonori",
                "Звуковые эффекты"}},
        {2540, {"Objektdetails", "Object detail", "Détail des objets", "Detalle de objetos", "Dettaglio oggetti",
                "Качество моделей"}},
        {2550, {"Texturdetails", "Texture detail", "Détail des textures", "Detalle de texturas",
                "Dettaglio texture", "Качество текстур"}},
        {2560, {"Name von Spieler 1", "Player 1 name", "Nom du joueur 1", "Nombre del jugador 1", "Nome giocatore 1",
                "Имя игрока 1"}},
        {2570, {"Name von Spieler 2", "Player 2 name", "Nom du joueur 2", "Nombre del jugador 2", "Nome giocatore 2",
                "Имя игрока 2"}},
        {2580, {"Sprache", "Language", "Langue", "Idioma", "Lingua", "Язык"}},
        // Each language by its own name, so a player finds it from any other.
        sameEverywhere(2590, "Deutsch"),
        sameEverywhere(2591, "English"),
        sameEverywhere(2592, "Français"),
        sameEverywhere(2593, "Español"),
        sameEverywhere(2594, "Italiano"),
        sameEverywhere(2595, "Русский"),
        {2600, {"Mitwirkende", "Credits", "Crédits", "Créditos", "Riconoscimenti", "Авторы"}},

        // Network messages of the host-or-join screen and the lobby.
        {9001, {"Ein Mitspieler hat das Spiel verlassen. Die Verbindung wurde getrennt.",
                "A player has left the game. The connection has been closed.",
                "Un joueur a quitté la partie. La connexion a été fermée.",
                "Un jugador ha abandonado la partida. Se ha cerrado la conexión.",
                "Un giocatore ha lasciato la partita. La connessione è stata chiusa.",
                "Один из игроков покинул игру. Соединение закрыто."}},
        {9002, {"An dieser Adresse wurde kein Spiel gefunden. Stimmt die Adresse, und wurde dort ein Spiel erstellt?",
                "No game was found at that address. Check the address and make sure a game has been hosted there.",
                "Aucune partie n'a été trouvée à cette adresse. Vérifiez l'adresse et assurez-vous qu'une partie y a "
                "été créée.",
                "No se ha encontrado ninguna partida en esa dirección. Comprueba la dirección y que se haya creado "
                "una partida allí.",
                "Nessuna partita trovata a quell'indirizzo. Controlla l'indirizzo e verifica che vi sia stata creata "
                "una partita.",
                "По этому адресу игра не найдена. Проверьте адрес и убедитесь, что там создана игра."}},
        {9003, {"Das Spiel hat dich nicht aufgenommen. Vielleicht ist es voll oder das Rennen hat schon begonnen.",
                "The game did not let you in. It may be full, or the race has already started.",
                "La partie a refusé votre participation. Elle est peut-être complète, ou la course a déjà commencé.",
                "La partida no te ha admitido. Puede que esté llena o que la carrera ya haya empezado.",
                "La partita ha rifiutato la tua partecipazione. Forse è piena o la gara è già iniziata.",
                "Игра вас не приняла. Возможно, мест нет или гонка уже началась."}},
        {9005, {"Das Spiel konnte nicht erstellt werden. Ist Port {port} gesperrt oder von einem anderen Programm "
                "belegt?",
                "Could not host the game. Port {port} may be blocked or in use by another program.",
                "Impossible de créer la partie. Le port {port} est peut-être bloqué ou utilisé par un autre programme.",
                "No se ha podido crear la partida. Puede que el puerto {port} esté bloqueado o lo use otro programa.",
                "Impossibile creare la partita. La porta {port} potrebbe essere bloccata o usata da un altro programma.",
                "Не удалось создать игру. Возможно, порт {port} заблокирован или занят другой программой."}},
        {9006, {"Verbindung zum Netzwerkspiel wird aufgebaut …", "Connecting to the network game...",
                "Connexion à la partie en réseau...", "Conectando con la partida en red...",
                "Connessione alla partita in rete...", "Подключение к сетевой игре..."}},

        // The quit question and the online high-score dialog.
        {10000, {"Willst du Plimzor 2 wirklich beenden?", "Do you really want to quit Plimzor 2?",
                 "Voulez-vous vraiment quitter Plimzor 2\u00a0?", "¿Seguro que quieres salir de Plimzor 2?",
                 "Vuoi davvero uscire da Plimzor 2?", "Вы действительно хотите выйти из Plimzor 2?"}},
        {10010, {"Schicke deine beste Meisterschaftszeit an die Online-Bestenliste. Bestätige Name und Passwort "
                 "jeweils mit Enter.",
                 "Send your best championship time to the online high scores. Press Enter after your name and "
                 "after your password.",
                 "Envoyez votre meilleur temps de championnat au classement en ligne. Validez le nom et le mot de "
                 "passe avec Entrée.",
                 "Envía tu mejor tiempo de campeonato a la clasificación en línea. Confirma el nombre y la "
                 "contraseña con Intro.",
                 "Invia il tuo miglior tempo del campionato alla classifica online. Conferma nome e password con "
                 "Invio.",
                 "Отправьте лучшее время чемпионата в онлайн-таблицу рекордов. Подтвердите имя и пароль клавишей "
                 "Enter."}},
        {10011, {"Name:", "Name:", "Nom\u00a0:", "Nombre:", "Nome:", "Имя:"}},
        {10012, {"Passwort:", "Password:", "Mot de passe\u00a0:", "Contraseña:", "Password:", "Пароль:"}},
        {10100, {"Geschafft! Deine Zeit steht jetzt in der Online-Bestenliste.",
                 "Done! Your time is now in the online high scores.",
                 "C'est fait\u00a0! Votre temps figure maintenant au classement en ligne.",
                 "¡Hecho! Tu tiempo ya está en la clasificación en línea.",
                 "Fatto! Il tuo tempo è ora nella classifica online.",
                 "Готово! Ваше время добавлено в онлайн-таблицу рекордов."}},
        {10101, {"Die Zeit konnte nicht gesendet werden. Prüfe die Internetverbindung, deinen Namen und dein Passwort.",
                 "Your time could not be sent. Check your internet connection, your name and your password.",
                 "Impossible d'envoyer votre temps. Vérifiez la connexion Internet, votre nom et votre mot de passe.",
                 "No se ha podido enviar tu tiempo. Comprueba la conexión a internet, tu nombre y tu contraseña.",
                 "Impossibile inviare il tempo. Controlla la connessione a Internet, il nome e la password.",
                 "Не удалось отправить время. Проверьте подключение к интернету, имя и пароль."}},
    };
    // The same words under a second id, and the ids that stand for no colour or moped.
    for (auto [id, newId] : {std::pair{2000, 2010}, {2110, 2200}, {500, 600}, {705, 706}, {705, 707}})
        texts.push_back(copyOf(texts, id, newId));
    for (LocalisedText& t : sharedTexts()) texts.push_back(std::move(t));
    for (LocalisedText& t : trackNames()) texts.push_back(std::move(t));
    return texts;
}
