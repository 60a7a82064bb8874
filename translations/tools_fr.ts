<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr" sourcelanguage="en">
<context>
    <name>CupsBackend</name>
    <message>
        <source>Usage: %1</source>
        <translation>Utilisation&#xa0;: %1</translation>
    </message>
    <message>
        <source>expected 5 or 6 arguments</source>
        <translation>5 ou 6 arguments attendus</translation>
    </message>
    <message>
        <source>the job id &quot;%1&quot; is not a number</source>
        <translation>le numéro de tâche «&#xa0;%1&#xa0;» n&apos;est pas un nombre</translation>
    </message>
    <message>
        <source>the job has no user name</source>
        <translation>la tâche n&apos;a pas de nom d&apos;utilisateur</translation>
    </message>
    <message>
        <source>cannot enter the spool folder %1: %2</source>
        <translation>impossible d&apos;accéder au dossier de spool %1&#xa0;: %2</translation>
    </message>
    <message>
        <source>cannot load the exit library %1: %2</source>
        <translation>impossible de charger la bibliothèque de sortie %1&#xa0;: %2</translation>
    </message>
    <message>
        <source>Faxing %1 page(s) for %2</source>
        <translation>Envoi par fax de %1 page(s) pour %2</translation>
    </message>
    <message>
        <source>the document was not handed over; its print file %1 stays in %2</source>
        <translation>le document n&apos;a pas été transmis&#xa0;; son fichier d&apos;impression %1 reste dans %2</translation>
    </message>
    <message>
        <source>handed to KORVA Fax for %1</source>
        <translation>transmis à KORVA Fax pour %1</translation>
    </message>
    <message>
        <source>kept until KORVA Fax starts for %1</source>
        <translation>conservé pour %1 jusqu&apos;au démarrage de KORVA Fax</translation>
    </message>
    <message>
        <source>cannot open %1: %2</source>
        <translation>impossible d&apos;ouvrir %1&#xa0;: %2</translation>
    </message>
    <message>
        <source>the print file could not be created in the spool folder</source>
        <translation>le fichier d&apos;impression n&apos;a pas pu être créé dans le dossier de spool</translation>
    </message>
    <message>
        <source>page %1 could not be written completely to the print file</source>
        <translation>la page %1 n&apos;a pas pu être écrite entièrement dans le fichier d&apos;impression</translation>
    </message>
    <message>
        <source>page %1 could not be read again</source>
        <translation>la page %1 n&apos;a pas pu être relue</translation>
    </message>
    <message>
        <source>the raster could not be read again</source>
        <translation>le raster n&apos;a pas pu être relu</translation>
    </message>
    <message>
        <source>the option %1=&quot;%2&quot; holds &quot;%3&quot;; it takes only digits, blanks and + - ( ) / . * #</source>
        <translation>l&apos;option %1=«&#xa0;%2&#xa0;» contient «&#xa0;%3&#xa0;»&#xa0;; seuls les chiffres, les espaces et + - ( ) / . * # sont admis</translation>
    </message>
    <message>
        <source>the recipient &quot;%1&quot; is not number~name~company</source>
        <translation>le destinataire «&#xa0;%1&#xa0;» n&apos;a pas la forme number~name~company</translation>
    </message>
    <message>
        <source>the recipients take %1 characters; at most %2 fit, &quot;rcpt:&quot; included</source>
        <translation>les destinataires occupent %1 caractères&#xa0;; %2 au plus tiennent, «&#xa0;rcpt:&#xa0;» compris</translation>
    </message>
    <message>
        <source>cannot take the groups of %1: %2</source>
        <translation>impossible de prendre les groupes de %1&#xa0;: %2</translation>
    </message>
    <message>
        <source>cannot switch to user %1: %2</source>
        <translation>impossible de passer à l&apos;utilisateur %1&#xa0;: %2</translation>
    </message>
    <message>
        <source>root privileges could not be given up</source>
        <translation>les privilèges root n&apos;ont pas pu être abandonnés</translation>
    </message>
    <message>
        <source>user &quot;%1&quot; is not known on this system</source>
        <translation>l&apos;utilisateur «&#xa0;%1&#xa0;» est inconnu sur ce système</translation>
    </message>
    <message>
        <source>the backend runs as user id %1 and cannot act for %2; install it with mode 0700 or 0500 so that CUPS runs it as root</source>
        <translation>le backend s&apos;exécute sous l&apos;identifiant utilisateur %1 et ne peut pas agir pour %2&#xa0;; installez-le avec le mode 0700 ou 0500 pour que CUPS l&apos;exécute en tant que root</translation>
    </message>
    <message>
        <source>%1 has no home folder</source>
        <translation>%1 n&apos;a pas de dossier personnel</translation>
    </message>
    <message>
        <source>cannot create the spool folder %1: %2</source>
        <translation>impossible de créer le dossier de spool %1&#xa0;: %2</translation>
    </message>
    <message>
        <source>the page is %1 x %2 pixels</source>
        <translation>la page fait %1 x %2 pixels</translation>
    </message>
    <message>
        <source>the page has no valid resolution</source>
        <translation>la page n&apos;a pas de résolution valide</translation>
    </message>
    <message>
        <source>raster of %1 bits per pixel in colour space %2 is not supported</source>
        <translation>le raster à %1 bits par pixel dans l&apos;espace colorimétrique %2 n&apos;est pas pris en charge</translation>
    </message>
    <message>
        <source>the page&apos;s rows are shorter than its width</source>
        <translation>les lignes de la page sont plus courtes que sa largeur</translation>
    </message>
    <message>
        <source>page %1: %2</source>
        <translation>page %1&#xa0;: %2</translation>
    </message>
    <message>
        <source>page %1: the raster ends after %2 of %3 rows</source>
        <translation>page %1&#xa0;: le raster s&apos;arrête après %2 lignes sur %3</translation>
    </message>
    <message>
        <source>no memory for the raster: %1</source>
        <translation>pas de mémoire pour le raster&#xa0;: %1</translation>
    </message>
    <message>
        <source>unreadable data after page %1</source>
        <translation>données illisibles après la page %1</translation>
    </message>
    <message>
        <source>the job holds no raster data</source>
        <translation>la tâche ne contient aucune donnée raster</translation>
    </message>
    <message>
        <source>the job&apos;s data is not CUPS raster</source>
        <translation>les données de la tâche ne sont pas au format CUPS raster</translation>
    </message>
    <message>
        <source>the raster could not be read: %1</source>
        <translation>le raster n&apos;a pas pu être lu&#xa0;: %1</translation>
    </message>
    <message>
        <source>the document has no pages</source>
        <translation>le document n&apos;a aucune page</translation>
    </message>
    <message>
        <source>the job&apos;s user %1 is root or a system account (user id below %2); KORVA Fax does not print for it</source>
        <translation>l&apos;utilisateur %1 de la tâche est root ou un compte système (identifiant inférieur à %2)&#xa0;; KORVA Fax n&apos;imprime pas pour lui</translation>
    </message>
</context>
<context>
    <name>ExitLibrary</name>
    <message>
        <source>Cannot open %1. Check to make sure you have enough disk space.  You should have at least 50mb free. This may also happen if another application has the image file open.</source>
        <translation>Impossible d&apos;ouvrir %1. Vérifiez que l&apos;espace disque est suffisant. Au moins 50 Mo doivent être libres. Cela peut aussi arriver si une autre application a ouvert le fichier image.</translation>
    </message>
    <message>
        <source>the library has no function %1</source>
        <translation>la bibliothèque n&apos;a pas de fonction %1</translation>
    </message>
    <message>
        <source>cannot be loaded</source>
        <translation>ne peut pas être chargée</translation>
    </message>
    <message>
        <source>Cannot write %1. Check to make sure you have enough disk space.  You should have at least 50mb free. The document was not faxed.</source>
        <translation>Impossible d&apos;écrire %1. Vérifiez que l&apos;espace disque est suffisant. Au moins 50 Mo doivent être libres. Le document n&apos;a pas été faxé.</translation>
    </message>
    <message>
        <source>The document %1 could not be handed over to KORVA Fax and was not faxed. Its print file stays as %2.</source>
        <translation>Le document %1 n&apos;a pas pu être transmis à KORVA Fax et n&apos;a pas été faxé. Son fichier d&apos;impression reste sous %2.</translation>
    </message>
</context>
<context>
    <name>FaxConvert</name>
    <message>
        <source>cannot run %1: %2</source>
        <translation>impossible d&apos;exécuter %1&#xa0;: %2</translation>
    </message>
    <message>
        <source>cannot put back the preset data in %1</source>
        <translation>impossible de rétablir les données prédéfinies dans %1</translation>
    </message>
    <message>
        <source>cannot read %1: %2</source>
        <translation>impossible de lire %1&#xa0;: %2</translation>
    </message>
    <message>
        <source>the output path is too long (at most %1 characters)</source>
        <translation>le chemin de sortie est trop long (%1 caractères au plus)</translation>
    </message>
    <message>
        <source>cannot open the control data area in the spool folder</source>
        <translation>impossible d&apos;ouvrir la zone de données de contrôle dans le dossier de spool</translation>
    </message>
    <message>
        <source>cannot create the event %1: %2</source>
        <translation>impossible de créer l&apos;événement %1&#xa0;: %2</translation>
    </message>
    <message>
        <source>cannot read %1</source>
        <translation>impossible de lire %1</translation>
    </message>
    <message>
        <source>cannot write %1</source>
        <translation>impossible d&apos;écrire %1</translation>
    </message>
    <message>
        <source>printing with %1 failed</source>
        <translation>l&apos;impression avec %1 a échoué</translation>
    </message>
    <message>
        <source>no conversion finished within %1 seconds; is faxcourier running?</source>
        <translation>aucune conversion terminée en %1 secondes&#xa0;; faxcourier est-il lancé&#xa0;?</translation>
    </message>
    <message>
        <source>faxcourier finished, but %1 was not written (see its log)</source>
        <translation>faxcourier a terminé, mais %1 n&apos;a pas été écrit (voir son journal)</translation>
    </message>
    <message>
        <source>%1 needs a value</source>
        <translation>%1 demande une valeur</translation>
    </message>
    <message>
        <source>%1 takes a number of seconds from 1 to 86400</source>
        <translation>%1 attend un nombre de secondes de 1 à 86400</translation>
    </message>
    <message>
        <source>unknown option %1</source>
        <translation>option inconnue %1</translation>
    </message>
    <message>
        <source>usage: %1</source>
        <translation>utilisation&#xa0;: %1</translation>
    </message>
</context>
<context>
    <name>FaxPreset</name>
    <message>
        <source>Usage: %1</source>
        <translation>Utilisation&#xa0;: %1</translation>
    </message>
    <message>
        <source>Options are:</source>
        <translation>Options&#xa0;:</translation>
    </message>
    <message>
        <source>(up to 4 recipients can be specified</source>
        <translation>(jusqu&apos;à 4 destinataires peuvent être indiqués)</translation>
    </message>
    <message>
        <source>flush data transfer area</source>
        <translation>vider la zone de transfert de données</translation>
    </message>
    <message>
        <source>view data transfer area</source>
        <translation>afficher la zone de transfert de données</translation>
    </message>
    <message>
        <source>Cannot read the data transfer area %1</source>
        <translation>Impossible de lire la zone de transfert de données %1</translation>
    </message>
    <message>
        <source>Job - %1</source>
        <translation>Tâche - %1</translation>
    </message>
    <message>
        <source>Can&apos;t Initialise Control data area</source>
        <translation>Impossible d&apos;initialiser la zone de données de contrôle</translation>
    </message>
    <message>
        <source>The value of %1 holds a character that KORVA Fax cannot send: %2</source>
        <translation>La valeur de %1 contient un caractère que KORVA Fax ne peut pas envoyer&#xa0;: %2</translation>
    </message>
    <message>
        <source>Too many recipients defined - max 4</source>
        <translation>Trop de destinataires indiqués - 4 au maximum</translation>
    </message>
    <message>
        <source>Cannot clear the data transfer area %1</source>
        <translation>Impossible de vider la zone de transfert de données %1</translation>
    </message>
    <message>
        <source>data transfer area cleared</source>
        <translation>zone de transfert de données vidée</translation>
    </message>
    <message>
        <source>Unrecognised command %1</source>
        <translation>Commande inconnue %1</translation>
    </message>
    <message>
        <source>Print job data added OK</source>
        <translation>Données de la tâche d&apos;impression ajoutées</translation>
    </message>
    <message>
        <source>Cannot write the print job data to %1; the previous data stays</source>
        <translation>Impossible d&apos;écrire les données de la tâche d&apos;impression dans %1&#xa0;; les données précédentes sont conservées</translation>
    </message>
</context>
<context>
    <name>FaxPrint</name>
    <message>
        <source>%1 wants a number from 0 to 4294967295, not &quot;%2&quot;</source>
        <translation>%1 attend un nombre de 0 à 4294967295, et non «&#xa0;%2&#xa0;»</translation>
    </message>
    <message>
        <source>%1 wants mono, grey or colour, not &quot;%2&quot;</source>
        <translation>%1 attend mono, grey ou colour, et non «&#xa0;%2&#xa0;»</translation>
    </message>
    <message>
        <source>%1 wants X or XxY, each from 1 to 2400, not &quot;%2&quot;</source>
        <translation>%1 attend X ou XxY, chacun de 1 à 2400, et non «&#xa0;%2&#xa0;»</translation>
    </message>
    <message>
        <source>%1 wants a number from 1 to 65536, not &quot;%2&quot;</source>
        <translation>%1 attend un nombre de 1 à 65536, et non «&#xa0;%2&#xa0;»</translation>
    </message>
    <message>
        <source>unknown option %1</source>
        <translation>option inconnue %1</translation>
    </message>
    <message>
        <source>%1 wants a value</source>
        <translation>%1 attend une valeur</translation>
    </message>
    <message>
        <source>no file to print</source>
        <translation>aucun fichier à imprimer</translation>
    </message>
    <message>
        <source>Usage: %1</source>
        <translation>Utilisation&#xa0;: %1</translation>
    </message>
    <message>
        <source>Prints the pages of the files, in order, as one document through the fax
printer&apos;s exit library, the way the printer driver does.</source>
        <translation>Imprime les pages des fichiers, dans l&apos;ordre, en un seul document via la
bibliothèque de sortie de l&apos;imprimante fax, comme le fait le pilote.</translation>
    </message>
    <message>
        <source>PDF, PNG, JPEG, PNM or TIFF (every page of a TIFF)</source>
        <translation>PDF, PNG, JPEG, PNM ou TIFF (chaque page d&apos;un TIFF)</translation>
    </message>
    <message>
        <source>document name (default: the first file&apos;s name)</source>
        <translation>nom du document (par défaut&#xa0;: nom du premier fichier)</translation>
    </message>
    <message>
        <source>print job number (default: the process id)</source>
        <translation>numéro de la tâche d&apos;impression (par défaut&#xa0;: l&apos;ID du processus)</translation>
    </message>
    <message>
        <source>bands in monochrome (default), grey or colour</source>
        <translation>bandes en monochrome (par défaut), niveaux de gris ou couleur</translation>
    </message>
    <message>
        <source>resolution, e.g. 200 or 200x100 (default 200); PDF pages
are rendered at it, images printed pixel for pixel</source>
        <translation>résolution, p. ex. 200 ou 200x100 (200 par défaut)&#xa0;; les pages PDF
y sont rendues, les images imprimées pixel par pixel</translation>
    </message>
    <message>
        <source>rows per band (default 256)</source>
        <translation>lignes par bande (256 par défaut)</translation>
    </message>
    <message>
        <source>the exit library (default: ../lib/libbandsink64.so
beside this program, else ../lib/korvafax/libbandsink64.so)</source>
        <translation>la bibliothèque de sortie (par défaut&#xa0;: ../lib/libbandsink64.so
à côté de ce programme, sinon ../lib/korvafax/libbandsink64.so)</translation>
    </message>
    <message>
        <source>%1: not a PDF, PNG, JPEG, PNM or TIFF file</source>
        <translation>%1&#xa0;: pas un fichier PDF, PNG, JPEG, PNM ou TIFF</translation>
    </message>
    <message>
        <source>%1: the image cannot be read</source>
        <translation>%1&#xa0;: l&apos;image ne peut pas être lue</translation>
    </message>
    <message>
        <source>cannot load the exit library %1: %2</source>
        <translation>impossible de charger la bibliothèque de sortie %1&#xa0;: %2</translation>
    </message>
    <message>
        <source>%1; nothing printed</source>
        <translation>%1&#xa0;; rien n&apos;a été imprimé</translation>
    </message>
    <message>
        <source>%1: not a readable PDF document</source>
        <translation>%1&#xa0;: pas un document PDF lisible</translation>
    </message>
    <message>
        <source>%1: the PDF document is locked with a password</source>
        <translation>%1&#xa0;: le document PDF est protégé par un mot de passe</translation>
    </message>
    <message>
        <source>%1: this poppler cannot render pages</source>
        <translation>%1&#xa0;: cette version de poppler ne sait pas rendre les pages</translation>
    </message>
    <message>
        <source>%1: page %2 cannot be read</source>
        <translation>%1&#xa0;: la page %2 ne peut pas être lue</translation>
    </message>
    <message>
        <source>%1: page %2 cannot be rendered</source>
        <translation>%1&#xa0;: la page %2 ne peut pas être rendue</translation>
    </message>
    <message>
        <source>page %1: the exit library answered %2 (the print file could not be opened)</source>
        <translation>page %1&#xa0;: la bibliothèque de sortie a répondu %2 (le fichier d&apos;impression n&apos;a pas pu être ouvert)</translation>
    </message>
    <message>
        <source>page %1: the exit library answered %2 (rows could not be written)</source>
        <translation>page %1&#xa0;: la bibliothèque de sortie a répondu %2 (des lignes n&apos;ont pas pu être écrites)</translation>
    </message>
    <message>
        <source>the document was not handed over to KORVA Fax and will not be faxed</source>
        <translation>le document n&apos;a pas été transmis à KORVA Fax et ne sera pas faxé</translation>
    </message>
    <message>
        <source>is a folder, not a document</source>
        <translation>est un dossier, pas un document</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1&#xa0;: %2</translation>
    </message>
    <message>
        <source>%1: has no pages</source>
        <translation>%1&#xa0;: ne contient aucune page</translation>
    </message>
</context>
</TS>
