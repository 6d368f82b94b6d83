// The menu vocabularies of every language and the composition of the main-menu captions.
#include "app/languages.h"

#include <initializer_list>
#include <utility>

#include "common/codepage.h"
#include "common/program_state.h"

namespace {

using TTextList = std::array<const char*, kMenuTextCount>;
using TWordList = std::array<const char*, kMenuWordCount>;

// Lists are written in UTF-8 in this file; a list marked for the DOS code page is converted when
// it is assigned. A null entry is one the language leaves as it was.
struct TTextLanguage {
  int code;
  bool utf8;
  const TTextList* list;
};
struct TWordLanguage {
  int code;
  bool utf8;
  const TWordList* list;
};

template <std::size_t N>
constexpr std::size_t CountSet(const std::array<const char*, N>& list) {
  std::size_t n = 0;
  for (const char* text : list) n += text != nullptr;
  return n;
}

// ---------------------------------------------------------------------------------------------
// Menu texts

// clang-format off
constexpr TTextList kEnglishTexts = {
    "Menu", "&File", "&New...", "&Open...", "&Save...", "Save &As...", "&Reset", "&EDI Files...",
    "Se&ttings", "E&xit", "&Copy", "&Paste", "&Info", "&Print...", "Printer Setup", "&Import",
    "Ex&port", "&Edit", "Te&xt", "&Quick", "&Material", "&Production", "&Tolerance", "A&pplication",
    "&Dimensioning", "&Pre-Dimensioning", "&Recalculation", "&Calculation Method", "&View",
    "&Standard Printout", "&Standard", "&Excerpt Printout", "&Database", "&CAD",
    "&Production drawing", "&Drawing", "P&rojection", "&Side view", "Pr&ofile", "&Simple profile",
    "&Upper view", "&Diagrams", "&Diagram", "D&ocument", "&Drawing data", "Modifications - &Info",
    "Modifications - &Printout", "Modification - &New", "&Edit previous modification",
    "&Delete previous modification", "Document &Setup", "&Help", "&Auxiliary images",
    "&Error messages", "&Demo", "&TARVENO Homepage", "&E-Mail to TARVENO", "&Safety", "&Printout",
    "&Language", "&Others", "&Dimensions", "&Animation", "&Table", "&Preview", "&Base Data"};
// clang-format on
static_assert(CountSet(kEnglishTexts) == kMenuTextCount);

// clang-format off
constexpr TTextList kGermanTexts = {
    "Menü", "&Datei", "&Neu...", "Ö&ffnen...", "&Speichern...", "Speichern &Unter...",
    "&Zurücksetzen", "&EDI-Dateien...", "E&instellungen", "&Beenden", "&Kopieren", "&Einfügen",
    "&Info", "&Drucken...", "Druckereinstellung", "&Import", "E&xport", "&Bearbeiten", "Te&xt",
    "&Quick", "&Werkstoff", "&Fertigung", "&Toleranz", "A&nwendung", "&Dimensionierung",
    "&Vordimensionierung", "&Nachrechnung", "&Berechnungsmethode", "&Ansicht", "&Standardausdruck",
    "&Standard", "&Kurzausdruck", "&Datenbank", "&CAD", "&Fertigungszeichnung", "&Zeichnung",
    "P&rojektion", "&Seitenansicht", "Pr&ofil", "&Einfaches Profil", "&Draufsicht", "&Diagramme",
    "&Diagramm", "D&okument", "&Zeichnungsdaten", "Änderungen - &Info", "Änderungen - &Ausdruck",
    "&Neue Änderung", "Letzte Änderung &bearbeiten", "Letzte Änderung &löschen", "Dokument &Setup",
    "&Hilfe", "&Hilfebild", "&Fehlermeldungen", "&Demo", "&TARVENO Homepage", "&E-Mail an TARVENO",
    "&Sicherheit", "&Ausdruck", "&Sprache", "&Sonstiges", "&Abmessungen", "&Animation", "&Tabelle",
    "&Vorschau", "&Grunddaten"};
// clang-format on
static_assert(CountSet(kGermanTexts) == kMenuTextCount);

// Romanian leaves "&Copy" and "&Paste" as they were (the main menu has no such items).
// clang-format off
constexpr TTextList kRomanianTexts = {
    "Meniu", "&Fișier", "&Nou...", "&Deschide...", "&Salvează...", "Salvează &ca...", "&Resetare",
    "Fișiere &EDI...", "S&etări", "&Ieșire", nullptr, nullptr, "&Info", "Ti&părire...",
    "Configurare imprimantă", "&Import", "E&xport", "&Editare", "&Text", "&Quick", "&Material",
    "&Producție", "&Toleranță", "A&plicație", "&Dimensionare", "&Predimensionare", "&Recalculare",
    "&Metodă de calcul", "&Vizualizare", "Listare &standard", "&Standard", "Listare &extras",
    "&Bază de date", "&CAD", "&Desen de execuție", "&Desen", "P&roiecție", "Vedere &laterală",
    "Pr&ofil", "Profil &simplu", "Vedere de &sus", "&Diagrame", "&Diagramă", "&Document",
    "&Date desen", "Modificări - &Info", "Modificări - &Listare", "Modificare - &Nouă",
    "&Editare ultima modificare", "Ș&terge ultima modificare", "&Configurare documente", "&Ajutor",
    "&Imagini auxiliare", "Mesaje de &eroare", "&Demo", "Pagina web &TARVENO",
    "E-&mail către TARVENO", "&Siguranță", "&Listare", "&Limbă", "&Altele", "&Dimensiuni",
    "&Animație", "&Tabel", "&Previzualizare", "Date de &bază"};
// clang-format on
static_assert(CountSet(kRomanianTexts) == kMenuTextCount - 2);

// Korean and Chinese put the accelerator as "(&X)" behind the word.
// clang-format off
constexpr TTextList kKoreanTexts = {
    "메뉴", "파일(&F)", "새로 만들기(&N)...", "열기(&O)...", "저장(&S)...",
    "다른 이름으로 저장(&A)...", "초기화(&R)", "EDI 파일(&E)...", "설정(&T)", "끝내기(&X)",
    "복사(&C)", "붙여넣기(&P)", "정보(&I)", "인쇄(&P)...", "프린터 설정", "가져오기(&I)",
    "내보내기(&P)", "편집(&E)", "텍스트(&X)", "&Quick", "재료(&M)", "생산(&P)", "공차(&T)",
    "응용(&P)", "치수 설계(&D)", "예비 치수 설계(&P)", "재계산(&R)", "계산 방법(&C)", "보기(&V)",
    "표준 출력(&S)", "표준(&S)", "요약 출력(&E)", "데이터베이스(&D)", "&CAD", "제작 도면(&D)",
    "도면(&D)", "투영(&R)", "측면도(&S)", "프로파일(&O)", "단순 프로파일(&S)", "평면도(&U)",
    "선도(&D)", "선도(&D)", "문서(&D)", "도면 데이터(&D)", "변경 - 정보(&I)", "변경 - 출력(&P)",
    "변경 - 새로 만들기(&N)", "이전 변경 편집(&E)", "이전 변경 삭제(&L)", "문서 설정(&S)",
    "도움말(&H)", "보조 그림(&A)", "오류 메시지(&E)", "데모(&D)", "TARVENO 홈페이지(&T)",
    "TARVENO에 전자 메일(&M)", "안전(&S)", "출력(&P)", "언어(&L)", "기타(&O)", "치수(&D)",
    "애니메이션(&A)", "표(&B)", "미리 보기(&P)", "기본 데이터(&B)"};
// clang-format on
static_assert(CountSet(kKoreanTexts) == kMenuTextCount);

// clang-format off
constexpr TTextList kChineseTexts = {
    "菜单", "文件(&F)", "新建(&N)...", "打开(&O)...", "保存(&S)...", "另存为(&A)...", "重置(&R)",
    "EDI 文件(&E)...", "设置(&T)", "退出(&X)", "复制(&C)", "粘贴(&P)", "信息(&I)", "打印(&P)...",
    "打印机设置", "导入(&I)", "导出(&P)", "编辑(&E)", "文本(&X)", "&Quick", "材料(&M)", "生产(&P)",
    "公差(&T)", "应用(&P)", "尺寸设计(&D)", "初步设计(&P)", "校核计算(&R)", "计算方法(&C)",
    "视图(&V)", "标准打印(&S)", "标准(&S)", "摘要打印(&E)", "数据库(&D)", "&CAD", "制造图(&D)",
    "图纸(&D)", "投影(&R)", "侧视图(&S)", "轮廓(&O)", "简单轮廓(&S)", "俯视图(&U)", "图表(&D)",
    "图表(&D)", "文档(&D)", "图纸数据(&D)", "修改 - 信息(&I)", "修改 - 打印(&P)", "修改 - 新建(&N)",
    "编辑上次修改(&E)", "删除上次修改(&L)", "文档设置(&S)", "帮助(&H)", "辅助图(&A)",
    "错误信息(&E)", "演示(&D)", "TARVENO 主页(&T)", "发邮件给 TARVENO(&M)", "安全(&S)",
    "打印输出(&P)", "语言(&L)", "其他(&O)", "尺寸(&D)", "动画(&A)", "表格(&B)", "预览(&P)",
    "基本数据(&B)"};
// clang-format on
static_assert(CountSet(kChineseTexts) == kMenuTextCount);

// clang-format off
constexpr TTextList kFrenchTexts = {
    "Menu", "&Fichier", "&Nouveau...", "&Ouvrir...", "&Enregistrer...", "Enregistrer &sous...",
    "&Réinitialiser", "Fichiers &EDI...", "&Paramètres", "&Quitter", "&Copier", "C&oller", "&Info",
    "&Imprimer...", "Configuration de l'imprimante", "&Importer", "E&xporter", "&Edition", "&Texte",
    "&Quick", "&Matériau", "&Production", "&Tolérance", "A&pplication", "&Dimensionnement",
    "&Prédimensionnement", "&Recalcul", "&Méthode de calcul", "&Affichage", "Impression &standard",
    "&Standard", "Impression &abrégée", "&Base de données", "&CAD", "Dessin de &fabrication",
    "&Dessin", "P&rojection", "Vue de &côté", "Pr&ofil", "Profil &simple", "Vue de &dessus",
    "&Diagrammes", "&Diagramme", "&Document", "&Données du dessin", "Modifications - &Info",
    "Modifications - I&mpression", "Modification - &Nouvelle", "&Editer la dernière modification",
    "&Supprimer la dernière modification", "&Configuration des documents", "A&ide",
    "Images &auxiliaires", "Messages d'&erreur", "&Démo", "Page d'accueil &TARVENO",
    "E-&mail à TARVENO", "&Sécurité", "&Impression", "&Langue", "&Autres", "&Dimensions",
    "&Animation", "&Tableau", "&Aperçu", "Données de &base"};
// clang-format on
static_assert(CountSet(kFrenchTexts) == kMenuTextCount);

// clang-format off
constexpr TTextList kItalianTexts = {
    "Menu", "&File", "&Nuovo...", "&Apri...", "&Salva...", "Salva &con nome...", "&Reimposta",
    "File &EDI...", "&Impostazioni", "&Esci", "&Copia", "&Incolla", "&Info", "Stam&pa...",
    "Impostazione stampante", "&Importa", "E&sporta", "&Modifica", "&Testo", "&Quick", "&Materiale",
    "&Produzione", "&Tolleranza", "A&pplicazione", "&Dimensionamento", "&Predimensionamento",
    "&Ricalcolo", "&Metodo di calcolo", "&Visualizza", "Stampa &standard", "&Standard",
    "Stampa &ridotta", "&Database", "&CAD", "&Disegno di produzione", "&Disegno", "P&roiezione",
    "Vista &laterale", "Pr&ofilo", "Profilo &semplice", "Vista dall'&alto", "&Diagrammi",
    "&Diagramma", "&Documento", "&Dati del disegno", "Modifiche - &Info", "Modifiche - &Stampa",
    "Modifica - &Nuova", "&Modifica ultima modifica", "&Elimina ultima modifica",
    "&Configura documenti", "&Guida", "Immagini &ausiliarie", "Messaggi di &errore", "&Demo",
    "Sito &TARVENO", "E-&mail a TARVENO", "&Sicurezza", "Stam&pa", "&Lingua", "&Altro",
    "&Dimensioni", "&Animazione", "&Tabella", "&Anteprima", "Dati di &base"};
// clang-format on
static_assert(CountSet(kItalianTexts) == kMenuTextCount);

// Swedish leaves "&Copy", "&Paste" and "&Side view" as they were.
// clang-format off
constexpr TTextList kSwedishTexts = {
    "Meny", "&Arkiv", "&Ny...", "Ö&ppna...", "&Spara...", "Spara s&om...", "Å&terställ",
    "&EDI-filer...", "&Inställningar", "A&vsluta", nullptr, nullptr, "&Info", "Skriv &ut...",
    "Skrivarinställningar", "&Importera", "E&xportera", "&Redigera", "&Text", "&Quick", "&Material",
    "&Tillverkning", "T&olerans", "&Tillämpning", "&Dimensionering", "&Fördimensionering",
    "&Omräkning", "&Beräkningsmetod", "&Visa", "&Standardutskrift", "&Standard", "&Kortutskrift",
    "&Databas", "&CAD", "Tillverknings&ritning", "&Ritning", "P&rojektion", nullptr, "Pr&ofil",
    "&Enkel profil", "Vy &ovanifrån", "&Diagram", "&Diagram", "&Dokument", "&Ritningsdata",
    "Ändringar - &Info", "Ändringar - &Utskrift", "Ändring - &Ny", "R&edigera senaste ändring",
    "Ta &bort senaste ändring", "&Dokumentinställningar", "&Hjälp", "Hjälp&bilder",
    "&Felmeddelanden", "&Demo", "&TARVENO hemsida", "E-&post till TARVENO", "&Säkerhet",
    "Ut&skrift", "&Språk", "Ö&vrigt", "&Mått", "&Animering", "&Tabell", "&Förhandsgranska",
    "&Grunddata"};
// clang-format on
static_assert(CountSet(kSwedishTexts) == kMenuTextCount - 3);

// Portuguese leaves "&Import", "Ex&port" and "&Side view" as they were.
// clang-format off
constexpr TTextList kPortugueseTexts = {
    "Menu", "&Arquivo", "&Novo...", "A&brir...", "&Salvar...", "Salvar &como...", "&Reiniciar",
    "Arquivos &EDI...", "Confi&gurações", "Sai&r", "&Copiar", "C&olar", "&Info", "&Imprimir...",
    "Configurar impressora", nullptr, nullptr, "&Editar", "&Texto", "&Quick", "&Material",
    "&Produção", "&Tolerância", "A&plicação", "&Dimensionamento", "&Pré-dimensionamento",
    "&Recálculo", "&Método de cálculo", "E&xibir", "Impressão &padrão", "&Padrão",
    "Impressão &resumida", "&Banco de dados", "&CAD", "&Desenho de fabricação", "&Desenho",
    "P&rojeção", nullptr, "Pe&rfil", "Perfil &simples", "Vista &superior", "&Diagramas",
    "&Diagrama", "&Documento", "&Dados do desenho", "Modificações - &Info",
    "Modificações - I&mpressão", "Modificação - &Nova", "&Editar última modificação",
    "E&xcluir última modificação", "&Configurar documentos", "Aj&uda", "Imagens &auxiliares",
    "Mensagens de &erro", "&Demo", "Página &TARVENO", "E-&mail para TARVENO", "&Segurança",
    "&Impressão", "&Idioma", "&Outros", "&Dimensões", "&Animação", "&Tabela", "&Visualizar",
    "Dados &básicos"};
// clang-format on
static_assert(CountSet(kPortugueseTexts) == kMenuTextCount - 3);

// clang-format off
constexpr TTextList kSpanishTexts = {
    "Menú", "&Archivo", "&Nuevo...", "A&brir...", "&Guardar...", "Guardar &como...", "&Restablecer",
    "Archivos &EDI...", "Con&figuración", "&Salir", "&Copiar", "&Pegar", "&Info", "&Imprimir...",
    "Configurar impresora", "&Importar", "E&xportar", "&Edición", "&Texto", "&Quick", "&Material",
    "&Producción", "&Tolerancia", "A&plicación", "&Dimensionado", "&Predimensionado", "&Recálculo",
    "&Método de cálculo", "&Ver", "Impresión &estándar", "&Estándar", "Impresión &resumida",
    "&Base de datos", "&CAD", "&Dibujo de fabricación", "&Dibujo", "P&royección", "Vista &lateral",
    "Pe&rfil", "Perfil &simple", "Vista &superior", "&Diagramas", "&Diagrama", "&Documento",
    "&Datos del dibujo", "Modificaciones - &Info", "Modificaciones - I&mpresión",
    "Modificación - &Nueva", "&Editar última modificación", "&Borrar última modificación",
    "&Configurar documentos", "Ay&uda", "Imágenes &auxiliares", "Mensajes de &error", "&Demo",
    "Página &TARVENO", "&Correo electrónico a TARVENO", "&Seguridad", "&Impresión", "&Idioma",
    "&Otros", "&Dimensiones", "&Animación", "&Tabla", "&Vista previa", "Datos &básicos"};
// clang-format on
static_assert(CountSet(kSpanishTexts) == kMenuTextCount);

constexpr TTextLanguage kTextLanguages[] = {
    {kLanguageGerman, false, &kGermanTexts},    {kLanguageEnglish, false, &kEnglishTexts},
    {kLanguageFrench, false, &kFrenchTexts},    {kLanguageItalian, false, &kItalianTexts},
    {kLanguageSwedish, false, &kSwedishTexts},  {kLanguagePortuguese, false, &kPortugueseTexts},
    {kLanguageRomanian, true, &kRomanianTexts}, {kLanguageKorean, true, &kKoreanTexts},
    {kLanguageSpanish, false, &kSpanishTexts},  {kLanguageChinese, true, &kChineseTexts},
};

// ---------------------------------------------------------------------------------------------
// Menu words

// clang-format off
constexpr TWordList kEnglishWords = {
    "Calc.Met&hod", "C&utting Tool", "&Profile", "DIN &5480", "Tooth &Contact", "S&trength",
    "&Geometry", "&Gear", "&ISO dimens.", "Bevel &gear", "&Load", "&Load Spectrum",
    "&Life Expectation", "Me&asurement", "&Hub", "Sliding &Key", "&Fit", "&Planet Gear",
    "&Planet.Gear", "Measure", "&Quality", "&Gear", "&Pinion", "&Worm", "Worm Wh&eel", "St&ress",
    "Dra&wing Table", "Ta&bles", "&Crown gear", "T&emperature  ", "&Toothing", "Sh&aft",
    "&Production Sheet", "Material &type", "Tooth", "Tooth &contact", "&Tooth Profile",
    "Dimension over &balls", "Dimension over &pins", "&Span measurement",
    "Dimensions &and Strength", "Worm &Gear", "Pol&yline Tooth Root", "&Profile Shift", "&Power",
    "&Assembly Dimension", "&Input/Output", "&Curve Geometry", "&Tooth Dimensions", "&Pitch curve",
    "&Gear geometry", "&Roller bearing", "&Bevel Gear", "&Tooth Thickness", "&Rack",
    "&Special dimensions", "&Ring Gear", "&Tooth Root Strength", "&Pitting", "&Involute Spline",
    "&Woodruff Key", "&Roll Angle", "&multistage", "Specific &Sliding", "&Friction Coefficients",
    "&Test Certificate", "&axial", "&radial", "&Efficiency"};
// clang-format on
static_assert(CountSet(kEnglishWords) == kMenuWordCount);

// clang-format off
constexpr TWordList kGermanWords = {
    "Rechen&verfahren", "&Bezugsprofil", "&Profil", "DIN &5480", "&Tragbild", "&Festigkeit",
    "&Geometrie", "&Zahnrad", "&ISO-Maße", "&Kegelrad", "&Belastung", "&Lastkollektiv",
    "&Lebensdauer", "&Messung", "&Nabe", "&Passfeder", "Pass&ung", "&Planetenrad",
    "&Planet.Getriebe", "Maß", "&Qualität", "&Getriebe", "&Ritzel", "&Schnecke", "Schnecken&rad",
    "&Beanspruchung", "&Zeichnungstabelle", "Ta&bellen", "&Kronenrad", "T&emperatur  ",
    "&Verzahnung", "&Welle", "&Fertigungsblatt", "Werkstoff&art", "Zahn", "Zahn&eingriff",
    "&Zahnprofil", "Diametrales &Kugelmaß", "Diametrales &Rollenmaß", "&Zahnweite",
    "Abmessungen &und Festigkeit", "Schnecken&getriebe", "Zahnfuß als &Polylinie",
    "&Profilverschiebung", "&Leistung", "&Einbaumaß", "&Eingabe/Ausgabe", "&Kurvengeometrie",
    "&Zahnabmessungen", "&Wälzkurve", "&Verzahnungsgeometrie", "&Wälzlager", "&Kegelrad",
    "&Zahndicke", "Zahn&stange", "&Sondermaße", "&Hohlrad", "&Zahnfußfestigkeit", "&Grübchen",
    "&Passverzahnung", "&Scheibenfeder", "&Wälzwinkel", "&mehrstufig", "Spezifisches &Gleiten",
    "&Reibwerte", "&Prüfzeugnis", "&axial", "&radial", "&Wirkungsgrad"};
// clang-format on
static_assert(CountSet(kGermanWords) == kMenuWordCount);

// clang-format off
constexpr TWordList kPortugueseWords = {
    "&Método de cálc.", "&Perfil de referência", "&Perfil", "DIN &5480", "&Contato dos dentes",
    "&Resistência", "&Geometria", "&Engrenagem", "Dimens. &ISO", "Engrenagem &cônica", "&Carga",
    "&Espectro de carga", "&Vida útil", "&Medição", "&Cubo", "&Chaveta deslizante", "&Ajuste",
    "Engrenagem &planetária", "&Planetária", "Medida", "&Qualidade", "&Engrenagem", "&Pinhão",
    "&Sem-fim", "&Coroa", "&Tensão", "&Tabela do desenho", "Ta&belas", "Engrenagem &frontal",
    "T&emperatura  ", "De&ntado", "&Eixo", "&Folha de fabricação", "&Tipo de material", "Dente",
    "&Contato dos dentes", "&Perfil do dente", "Medida sobre &esferas", "Medida sobre &rolos",
    "Medida sobre &dentes", "Dimensões &e resistência", "Engrenagem &sem-fim",
    "Pé do dente como &polilinha", "&Deslocamento de perfil", "&Potência", "Dimensão de &montagem",
    "&Entrada/Saída", "&Geometria da curva", "&Dimensões do dente", "Curva &primitiva",
    "&Geometria da engrenagem", "&Rolamento", "Engrenagem &Cônica", "&Espessura do dente",
    "&Cremalheira", "Dimensões e&speciais", "&Coroa interna", "Resistência do &pé do dente",
    "&Pitting", "&Estriado evolvente", "Chaveta &Woodruff", "Ângulo de &rolamento", "&multiestágio",
    "Deslizamento &específico", "Coeficientes de &atrito", "Certificado de &ensaio", "&axial",
    "&radial", "&Rendimento"};
// clang-format on
static_assert(CountSet(kPortugueseWords) == kMenuWordCount);

// clang-format off
constexpr TWordList kRomanianWords = {
    "&Metodă calc.", "Profil de &referință", "&Profil", "DIN &5480", "&Contact dinți",
    "&Rezistență", "&Geometrie", "&Roată dințată", "Dimens. &ISO", "Roată &conică", "În&cărcare",
    "&Spectru de sarcină", "&Durabilitate", "&Măsurare", "&Butuc", "&Pană paralelă", "&Ajustaj",
    "Roată &planetară", "&Planetar", "Cotă", "&Calitate", "&Angrenaj", "&Pinion", "&Melc",
    "&Roată melcată", "&Solicitare", "&Tabel desen", "Ta&bele", "Roată &frontală", "T&emperatură  ",
    "Dan&tură", "&Arbore", "&Fișă de execuție", "&Tip material", "Dinte", "&Angrenare",
    "&Profil dinte", "Cotă peste &bile", "Cotă peste &role", "Cotă peste &dinți",
    "Dimensiuni ș&i rezistență", "Angrenaj &melcat", "Picior dinte ca &polilinie",
    "&Deplasare de profil", "&Putere", "Cotă de &montaj", "&Intrare/Ieșire", "&Geometria curbei",
    "Dimensiuni &dinte", "Curbă de &rostogolire", "&Geometria angrenajului", "&Rulment",
    "Roată &conică", "&Grosime dinte", "&Cremalieră", "Dimensiuni &speciale",
    "Roată cu dantură &interioară", "Rezistența &piciorului dintelui", "&Pitting",
    "&Canelură evolventică", "Pană &disc", "Unghi de &rostogolire", "&multietajat",
    "Alunecare &specifică", "Coeficienți de &frecare", "Certificat de &încercare", "&axial",
    "&radial", "&Randament"};
// clang-format on
static_assert(CountSet(kRomanianWords) == kMenuWordCount);

// clang-format off
constexpr TWordList kKoreanWords = {
    "계산 방법(&H)", "공구(&U)", "프로파일(&P)", "DIN 5480(&5)", "치면 접촉(&C)", "강도(&T)",
    "형상(&G)", "기어(&G)", "ISO 치수(&I)", "베벨 기어(&G)", "하중(&L)", "하중 스펙트럼(&L)",
    "수명(&L)", "측정(&A)", "허브(&H)", "미끄럼 키(&K)", "끼워맞춤(&F)", "유성 기어(&P)",
    "유성기어(&P)", "측정값", "등급(&Q)", "기어(&G)", "피니언(&P)", "웜(&W)", "웜 휠(&E)",
    "응력(&R)", "도면 표(&W)", "표(&B)", "크라운 기어(&C)", "온도(&E)  ", "치형(&T)", "축(&A)",
    "제작 시트(&P)", "재료 종류(&T)", "톱니", "치면 접촉(&C)", "치형 윤곽(&T)", "오버볼 치수(&B)",
    "오버핀 치수(&P)", "걸치기 이두께(&S)", "치수 및 강도(&A)", "웜 기어(&G)",
    "이뿌리 폴리라인(&Y)", "전위(&P)", "동력(&P)", "조립 치수(&A)", "입력/출력(&I)",
    "곡선 형상(&C)", "이 치수(&T)", "피치 곡선(&P)", "기어 형상(&G)", "구름 베어링(&R)",
    "베벨 기어(&B)", "이 두께(&T)", "랙(&R)", "특수 치수(&S)", "링 기어(&R)", "이뿌리 강도(&T)",
    "피팅(&P)", "인벌류트 스플라인(&I)", "반달 키(&W)", "굴림각(&R)", "다단(&M)", "미끄럼률(&S)",
    "마찰 계수(&F)", "시험 성적서(&T)", "축방향(&A)", "반경방향(&R)", "효율(&E)"};
// clang-format on
static_assert(CountSet(kKoreanWords) == kMenuWordCount);

// Chinese leaves "&multistage" as it was.
// clang-format off
constexpr TWordList kChineseWords = {
    "计算方法(&H)", "刀具(&U)", "齿廓(&P)", "DIN 5480(&5)", "齿面接触(&C)", "强度(&T)", "几何(&G)",
    "齿轮(&G)", "ISO 尺寸(&I)", "锥齿轮(&G)", "载荷(&L)", "载荷谱(&L)", "寿命(&L)", "测量(&A)",
    "轮毂(&H)", "滑键(&K)", "配合(&F)", "行星齿轮(&P)", "行星轮(&P)", "测量值", "精度等级(&Q)",
    "齿轮传动(&G)", "小齿轮(&P)", "蜗杆(&W)", "蜗轮(&E)", "应力(&R)", "图纸表格(&W)", "表格(&B)",
    "端面齿轮(&C)", "温度(&E)  ", "齿形(&T)", "轴(&A)", "生产图表(&P)", "材料类型(&T)", "轮齿",
    "齿面接触(&C)", "齿廓(&T)", "跨球距(&B)", "跨棒距(&P)", "公法线长度(&S)", "尺寸和强度(&A)",
    "蜗杆传动(&G)", "齿根多段线(&Y)", "变位(&P)", "功率(&P)", "装配尺寸(&A)", "输入/输出(&I)",
    "曲线几何(&C)", "轮齿尺寸(&T)", "节曲线(&P)", "齿轮几何(&G)", "滚动轴承(&R)", "锥齿轮(&B)",
    "齿厚(&T)", "齿条(&R)", "特殊尺寸(&S)", "内齿圈(&R)", "齿根强度(&T)", "点蚀(&P)",
    "渐开线花键(&I)", "半圆键(&W)", "滚动角(&R)", nullptr, "滑动率(&S)", "摩擦系数(&F)",
    "检验证书(&T)", "轴向(&A)", "径向(&R)", "效率(&E)"};
// clang-format on
static_assert(CountSet(kChineseWords) == kMenuWordCount - 1);

constexpr TWordLanguage kWordLanguages[] = {
    {kLanguageGerman, false, &kGermanWords},         {kLanguageEnglish, false, &kEnglishWords},
    {kLanguagePortuguese, false, &kPortugueseWords}, {kLanguageRomanian, true, &kRomanianWords},
    {kLanguageKorean, true, &kKoreanWords},          {kLanguageChinese, true, &kChineseWords},
};

template <typename TLanguage, std::size_t N, std::size_t M>
bool Assign(const TLanguage (&languages)[M], int code, std::array<TVocabularyText, N>& target) {
  for (const TLanguage& language : languages) {
    if (language.code != code) continue;
    for (std::size_t i = 0; i < N; ++i) {
      const char* text = (*language.list)[i];
      if (!text) continue;
      target[i].utf8 = language.utf8;
      target[i].text = language.utf8 ? std::string(text) : WinToDos(text);
    }
    return true;
  }
  return false;
}

template <std::size_t N>
std::array<TVocabularyText, N> EnglishVocabulary(const std::array<const char*, N>& list) {
  // English is plain ASCII: the same bytes in either code page.
  std::array<TVocabularyText, N> vocabulary;
  for (std::size_t i = 0; i < N; ++i) vocabulary[i].text = list[i];
  return vocabulary;
}

std::string ForDisplay(const TVocabularyText& entry) {
  return entry.utf8 ? entry.text : DosToWin(entry.text);
}

// ---------------------------------------------------------------------------------------------
// Accelerators

// Position of a "(&X)" mark (an ASCII letter or digit), or npos.
std::size_t SuffixMark(std::string_view text) {
  for (std::size_t i = 0; i + 3 < text.size(); ++i) {
    if (text[i] == '(' && text[i + 1] == '&' && text[i + 3] == ')' &&
        static_cast<unsigned char>(text[i + 2]) < 0x80 && text[i + 2] != '&') {
      return i;
    }
  }
  return std::string_view::npos;
}

// A caption put together from pieces keeps one accelerator: the one of the last marked piece,
// which tells the item from its neighbours ("Document &1", "Open... (&Table)"). A "(&X)" mark
// moves to the end of the whole caption, where that style carries it.
std::string Compose(std::initializer_list<std::string> pieces) {
  std::size_t keep = pieces.size();
  std::size_t index = 0;
  for (const std::string& piece : pieces) {
    if (AcceleratorOf(piece) != 0) keep = index;
    ++index;
  }
  std::string caption;
  std::string suffix;
  index = 0;
  for (const std::string& piece : pieces) {
    if (index++ != keep) {
      caption += WithoutAccelerator(piece);
      continue;
    }
    const std::size_t mark = SuffixMark(piece);
    if (mark == std::string_view::npos) {
      caption += piece;
    } else {
      suffix = piece.substr(mark, 4);
      caption += piece.substr(0, mark) + piece.substr(mark + 4);
    }
  }
  return caption + suffix;
}

std::string T(TMenuText entry) {
  return MenuTextUtf8(entry);
}
std::string W(TMenuWord entry) {
  return MenuWordUtf8(entry);
}

}  // namespace

std::array<TVocabularyText, kMenuTextCount> MenuTexts = EnglishVocabulary(kEnglishTexts);
std::array<TVocabularyText, kMenuWordCount> MenuWords = EnglishVocabulary(kEnglishWords);

void InitLanguages() {
  MenuTexts = EnglishVocabulary(kEnglishTexts);
  MenuWords = EnglishVocabulary(kEnglishWords);
}

bool SetMenuTexts(int code) {
  return Assign(kTextLanguages, code, MenuTexts);
}

bool SetMenuWords(int code) {
  return Assign(kWordLanguages, code, MenuWords);
}

bool IsMenuLanguage(int code) {
  for (const TTextLanguage& language : kTextLanguages) {
    if (language.code == code) return true;
  }
  for (const TWordLanguage& language : kWordLanguages) {
    if (language.code == code) return true;
  }
  return false;
}

bool SetLanguage(int code) {
  if (!IsMenuLanguage(code)) return false;
  ConfigVariables.LanguageCode = code;
  SetMenuTexts(code);
  SetMenuWords(code);
  return true;
}

std::string MenuTextUtf8(TMenuText entry) {
  return ForDisplay(MenuTexts[static_cast<std::size_t>(entry)]);
}

std::string MenuWordUtf8(TMenuWord entry) {
  return ForDisplay(MenuWords[static_cast<std::size_t>(entry)]);
}

std::string WithoutAccelerator(std::string_view caption) {
  std::string text(caption);
  for (std::size_t mark; (mark = SuffixMark(text)) != std::string::npos;) {
    std::size_t from = mark;
    if (from > 0 && text[from - 1] == ' ') --from;
    text.erase(from, mark + 4 - from);
  }
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '&') {
      out += text[i];
    } else if (i + 1 < text.size() && text[i + 1] == '&') {
      out += "&&";
      ++i;
    }
  }
  return out;
}

char AcceleratorOf(std::string_view caption) {
  for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != '&') continue;
    const unsigned char next = static_cast<unsigned char>(caption[i + 1]);
    if (next == '&') {
      ++i;
      continue;
    }
    // A letter outside ASCII is marked by its first byte; compare the bytes as they are.
    if (next >= 'a' && next <= 'z') return static_cast<char>(next - 'a' + 'A');
    return static_cast<char>(next);
  }
  return 0;
}

std::vector<TMenuCaption> MenuCaptions() {
  using MT = TMenuText;
  using MW = TMenuWord;
  const std::string shaft = W(MW::Shaft);
  const std::string hub = W(MW::Hub);
  const std::string shaftAndHub = Compose({shaft, " + ", hub});
  const std::string tool = W(MW::CuttingTool);
  const std::string settings = T(MT::Settings);
  const std::string quick = T(MT::Quick);
  const std::string production = T(MT::ProductionDrawing);
  const std::string errors = T(MT::ErrorMessages);
  const std::string profile = W(MW::ToothProfile);
  const std::string document = T(MT::Document);

  std::vector<TMenuCaption> c = {
      {"mi_file", T(MT::File)},
      {"mi_fileNew", T(MT::New)},
      {"mi_fileOpen", T(MT::Open)},
      {"mi_fileOpenTable", Compose({T(MT::Open), " (", T(MT::Table), ")"})},
      {"mi_FileSave", T(MT::Save)},
      {"mi_FileSaveAs", T(MT::SaveAs)},
      {"mi_fileprint", T(MT::Print)},
      {"mi_fileprintersetup", T(MT::PrinterSetup)},
      {"mi_fileConfig", settings},
      {"mi_fileexit", T(MT::Exit)},
      {"mi_Edit", T(MT::Edit)},
      {"mi_EditText", T(MT::Text)},
      {"mi_editabmessungen", T(MT::Dimensions)},
      {"mi_View", T(MT::View)},
      {"mi_viewausdruck", T(MT::Printout)},
      {"mi_viewQuick3", Compose({quick, " 3"})},
      {"mi_viewquick4", Compose({quick, " 4"})},
      {"mi_ViewQuick", quick},
      {"mi_viewfertigungszeichnung", production},
      {"mi_viewfertigungszeichnungwellenabe", shaftAndHub},
      {"mi_viewfertigungszeichnungwelle", shaft},
      {"mi_viewfertigungszeichnungnabe", hub},
      {"mi_viewzahnprofil", W(MW::Toothing)},
      {"mi_viewzahnprofilwellenabe", shaftAndHub},
      {"mi_viewzahnprofilwelle", shaft},
      {"mi_viewzahnprofilnabe", hub},
      {"mi_viewzahn", W(MW::Tooth)},
      {"mi_viewzahn1", shaft},
      {"mi_viewzahn2", hub},
      {"mi_viewwerkzeug", tool},
      {"mi_viewwerkzeugwelle", shaft},
      {"mi_viewwerkzeugnabe", hub},
      {"mi_viewzahneingriff", W(MW::ToothContactView)},
      {"mi_viewErrorMessages", errors},
      {"mi_CAD", T(MT::Cad)},
      {"mi_cadquick3", Compose({quick, " 3"})},
      {"mi_cadquick", quick},
      {"mi_cadfertigungszeichnung", production},
      {"mi_cadfertigungszeichnung1", Compose({production, " Shaft"})},
      {"mi_cadfertigungszeichnung2", Compose({production, " Hub"})},
      {"mi_cadbezugsprofil", tool},
      {"mi_cadbezugsprofil1", shaft},
      {"mi_cadbezugsprofil2", hub},
      {"mi_cadzahnprofil12", Compose({profile, " ", shaft, "+", hub})},
      {"mi_cadZahnprofilWelle", Compose({profile, " ", shaft, " - External Spline"})},
      {"mi_cadZahnprofilNabe", Compose({profile, " ", hub, " - Internal Spline"})},
      {"mi_cadsetup", settings},
      {"mi_documentation", document},
      {"mi_docdrawinginfo", T(MT::DrawingData)},
      {"mi_docuShowChanges1", T(MT::ModificationsInfo)},
      {"mi_docuPrintChanges", T(MT::ModificationsPrintout)},
      {"mi_docuNewChange", T(MT::ModificationNew)},
      {"mi_docuModifyChanges", T(MT::EditPreviousModification)},
      {"mi_docudeleteChange", T(MT::DeletePreviousModification)},
      {"mi_Document1", Compose({document, " &1"})},
      {"mi_Document2", Compose({document, " &2"})},
      {"mi_Document3", Compose({document, " &3"})},
      {"mi_Document4", Compose({document, " &4"})},
      {"mi_Document5", Compose({document, " &5"})},
      {"mi_DocumentSetup", T(MT::DocumentSetup)},
      {"mi_Help", T(MT::Help)},
      {"mi_HelpHilfebild", T(MT::AuxiliaryImages)},
      {"mi_helpErrorMessages", errors},
      {"mi_helpDemo", T(MT::Demo)},
      {"mi_helplanguage", Compose({T(MT::Menu), " ", T(MT::Language)})},
      {"mi_helpwww", T(MT::Homepage)},
      {"mi_helpemail", T(MT::EMail)},
  };
  return c;
}

std::string MenuCaption(std::string_view objectName) {
  for (TMenuCaption& caption : MenuCaptions()) {
    if (objectName == caption.objectName) return std::move(caption.caption);
  }
  return {};
}

std::string ErrorMessagesCaption(int count) {
  return T(TMenuText::ErrorMessages) + " (" + std::to_string(count) + ")";
}
