#include "helppages.h"

#include <QStringList>

#include <array>

namespace HelpPages {
namespace {

    struct Page
    {
        const char16_t *title;
        // Up to four paragraphs; unused entries are null.
        const char16_t *paragraphs[4];
    };

    const std::array<Page, PageCount> &pages()
    {
        static const std::array<Page, PageCount> all { {
            { u"Punto d'Inserimento e Mouse",
                {
                    u"La barretta | verticale lampeggiante (qui sopra in rosso) è il Punto d'Inserimento, "
                    u"cioé dove va a finire il prossimo carattere battuto a tastiera.  La barretta avanza a "
                    u"ogni battuta.",
                    u"Se il Mouse è nell'area del testo, una grossa I (qui sopra in blu) ne segue il "
                    u"movimento. ",
                    u"Un clic del Mouse sposta la barretta | sulla I o nella posizione valida più vicina.",
                } },
            { u"Maiuscolo",
                {
                    u"Funziona come nella macchina da scrivere.",
                    u"Cioè, questo tasto tenuto premuto quando si batte una lettera dell'alfabeto, fornisce "
                    u"la maiuscola corrispondente, mentre, se usato in contemporanea a una cifra o un "
                    u"carattere speciale, fornisce il simbolo mostrato in alto su quel tasto.",
                } },
            { u"Blocca Maiuscolo",
                {
                    u"Anche questo tasto si usa come nella macchina da scrivere.",
                    u"Evita di mantenere premuto il tasto Maiuscolo quando servirebbe per più lettere "
                    u"consecutive.",
                    u"Infatti un solo clic su questo tasto imposta e mantiene il Maiuscolo, finchè non lo si "
                    u"disattiva ripremendolo.",
                    u"Se si preme il Maiuscolo quando è impostato il Blocca Maiuscolo, si scrive in "
                    u"minuscolo.",
                } },
            { u"Invio",
                {
                    u"A ogni clic aggiunge una nuova riga e mette un \"carattere invisibile\" alla fine "
                    u"della riga precedente (è l'unico carattere se la \"riga è vuota\").",
                    u"Cliccare Invio quando il Punto d'Inserimento non è in fondo a una riga, la spezza, e "
                    u"crea una nuova riga con quanto c'era alla sua destra.",
                } },
            { u"Freccine orizzontali",
                {
                    u"A ogni clic il Punto d'Inserimento si sposta di una posizione nel senso della freccia "
                    u"scelta.",
                    u"Può spostarsi anche sulle righe successive o precedenti, fino al termine o all'inizio "
                    u"di tutto il testo.",
                } },
            { u"Freccine su e giù",
                {
                    u"A ogni clic il Punto d'Inserimento si sposta sulla riga superiore o inferiore nel "
                    u"senso della freccia scelta.",
                    u"La posizione in orizzontale viene mantenuta se ancora valida.  Quando invece ci si "
                    u"sposta su una riga più corta, il Punto d'Inserimento si posiziona alla fine della "
                    u"riga.",
                } },
            { u"Tabulazione",
                {
                    u"Ogni clic sposta il Punto d'Inserimento verso destra, alla successiva Posizione di "
                    u"Tabulazione, facendo slittare l'eventuale testo già presente.",
                    u"Ogni Tabulazione aggiunge \"un suo carattere invisibile\", largo quanto lo spazio "
                    u"saltato.",
                    u"I programmi di scrittura più semplici usano una grigliatura standard a 1,25 cm e, come "
                    u"in questo esercizio, non consentono la Tabulazione a ritroso.",
                } },
            { u"Cancellazione",
                {
                    u"Ogni clic cancella il carattere a destra del Punto d'Inserimento.",
                    u"La cancellazione può continuare sulle righe successive, fino alla fine di tutto il "
                    u"testo.",
                    u"La cancellazione vale anche per i \"caratteri invisibili\".",
                    u"In particolare, cancellando \"quello di fine riga\" si ottiene il suo congiungimento "
                    u"con la successiva.",
                } },
            { u"Ritorno (o Backspace)",
                {
                    u"Lavora all'inverso del tasto Canc.",
                    u"Ogni clic cancella il carattere a sinistra del Punto d'Inserimento e lo fa "
                    u"retrocedere.",
                    u"La cancellazione può risalire sulle righe precedenti, fino all'inizio dell'intero "
                    u"testo.",
                    u"Anche con questo tasto si possono cancellare \"caratteri invisibili\" e  congiungere "
                    u"più righe.",
                } },
            { u"Fine",
                {
                    u"E' il metodo veloce per spostare la barretta del Punto d'Inserimento alla fine della "
                    u"sua riga senza usare le freccette.",
                    u"Il Punto d'Inserimento si riposiziona appena prima del \"carattere invisibile\" di "
                    u"fine riga.",
                } },
            { u"Home",
                {
                    u"E' il metodo veloce per spostare la barretta del Punto d'Inserimento all'inizio della "
                    u"sua riga senza usare le freccette.",
                } },
            { u"Inserimento",
                {
                    u"Il tasto può attivare la \"Modalità d'Inserimento\" con cui ogni carattere battuto a "
                    u"tastiera va a sostituire un carattere già presente.",
                    u"Questa funzionalità non è però disponibilke nei programmi più semplici, come questo.",
                } },
            { u"Sovrascrittura",
                {
                    u"Continuando a premere il mouse mentre lo trasciniamo sul testo, le parole compaiono in "
                    u"negativo su sfondo scuro Questa area si dice \"selezionata\".",
                    u"Un'area \"selezionata\" riceve il prossimo carattere battuto a tastiera, perdendo "
                    u"tutto il suo contenuto.",
                    u"Per deselezionare un'area basta un clic del mouse in un punto qualunque o una nuova "
                    u"\"selezione\".",
                } },
            { u"Caratteri Speciali",
                {
                    u"Alcuni tasti mostrano più di due simboli.  Mentre il tasto Maiuscolo ci dà il simbolo "
                    u"più in alto, per ottenere quello a destra in basso occorre tenere premuto il tasto "
                    u"\"Alt Gr\" oppure la coppia Ctrl+Alt.",
                    u"Programmi più sofisticati consentono anche caratteri non mostrati sulla tastiera, "
                    u"usando varie combinazioni dei tasti Maiuscolo, Ctrl, Alt.",
                } },
        } };
        return all;
    }

    struct Picture
    {
        const char *file;
        int width;
        int height;
    };

    constexpr std::array<Picture, PageCount> Pictures { {
        { "inserimento", 64, 61 },
        { "maiuscolo", 48, 46 },
        { "blocca-maiuscolo", 57, 46 },
        { "invio", 46, 101 },
        { "frecce-orizzontali", 85, 46 },
        { "frecce-verticali", 38, 96 },
        { "tabulazione", 55, 46 },
        { "canc", 38, 46 },
        { "ritorno", 96, 46 },
        { "fine", 38, 46 },
        { "home", 39, 46 },
        { "ins", 38, 46 },
        { "selezione", 65, 61 },
        { "caratteri-speciali", 38, 46 },
    } };

    const QString CrLf = QStringLiteral("\r\n");

} // namespace

qint16 next(qint16 stato, Turn turn)
{
    if (turn == Turn::Forward)
        return stato + 1 > Introduction ? 0 : stato + 1;
    return stato - 1 < 0 ? Introduction : stato - 1;
}

QString text(qint16 stato)
{
    if (stato < 0 || stato >= PageCount) {
        return CrLf + CrLf
            + QStringLiteral(
                "Cliccando PagGiu (avanti) o PagSu (indietro) compaiono qui chiarimenti su alcune "
                "funzioni e tasti particolari.")
            + CrLf + CrLf + QStringLiteral("E' possibile sperimentarli direttamente nell'area a fianco.");
    }
    const Page &page = pages()[stato];
    QStringList paragraphs;
    for (const char16_t *paragraph : page.paragraphs) {
        if (paragraph)
            paragraphs << QString::fromUtf16(paragraph);
    }
    return QString::fromUtf16(page.title) + CrLf + CrLf + paragraphs.join(CrLf);
}

QString number(qint16 stato)
{
    return stato >= 0 && stato < PageCount ? QString::number(stato + 1) : QStringLiteral("0");
}

QSize pictureSize(int element)
{
    const Picture &picture = Pictures.at(element);
    return { picture.width, picture.height };
}

QString picturePath(int element)
{
    return QStringLiteral(":/tastolo/%1.svg").arg(QLatin1String(Pictures.at(element).file));
}

} // namespace HelpPages
