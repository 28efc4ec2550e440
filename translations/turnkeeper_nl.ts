<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="nl" sourcelanguage="en">
<context>
    <name>Children</name>
    <message>
        <source>The children&apos;s names</source>
        <extracomment>What could not be saved, in &quot;%1 could not be saved in %2: %3.&quot; (see there).</extracomment>
        <translation>de namen van de kinderen</translation>
    </message>
    <message>
        <source>A name needs at least one letter.</source>
        <extracomment>A message when a parent adds an empty name in the Children window.</extracomment>
        <translation>Een naam heeft minstens één letter nodig.</translation>
    </message>
    <message>
        <source>A name can be at most %1 characters long.</source>
        <extracomment>A message when a name is too long. %1 is the number of characters (40).</extracomment>
        <translation>Een naam mag hoogstens %1 tekens lang zijn.</translation>
    </message>
    <message>
        <source>%1 is already in the list.</source>
        <extracomment>A message when a name is given twice. %1 is the child&apos;s name.</extracomment>
        <translation>%1 staat al in de lijst.</translation>
    </message>
    <message>
        <source>This name cannot be kept: %1.</source>
        <extracomment>A message when a name holds a character the settings file loses. %1 says which (a text of the context SettingsStore beginning with &quot;it ...&quot;).</extracomment>
        <translation>Deze naam kan niet bewaard worden: %1.</translation>
    </message>
    <message>
        <source>Next: %1</source>
        <extracomment>On the main window&apos;s bar and in the Children window: whose turn comes next. %1 is a child&apos;s first name.</extracomment>
        <translation>Volgende: %1</translation>
    </message>
    <message>
        <source>A name cannot hold line breaks, tabs or invisible characters.</source>
        <extracomment>A message when a name holds a line break, a tab or an invisible character that changes how text runs (such as a right-to-left mark).</extracomment>
        <translation>Een naam mag geen regeleinden, tabs of onzichtbare tekens bevatten.</translation>
    </message>
</context>
<context>
    <name>Countdown</name>
    <message>
        <source>&amp;Start Timer</source>
        <extracomment>The Timer menu&apos;s entry that starts a turn. The same entry reads &quot;&amp;Stop Timer&quot; while a turn runs. &amp; marks the access key (Alt and that letter); keep it apart from the one of &quot;&amp;Set Time&quot; in the same menu.</extracomment>
        <translation>Timer &amp;starten</translation>
    </message>
    <message>
        <source>&amp;Stop Timer</source>
        <extracomment>The Timer menu&apos;s entry that stops the running turn (a parent&apos;s password is asked). It takes the place of &quot;&amp;Start Timer&quot; while a turn runs. &amp; marks the access key; keep it apart from the one of &quot;&amp;Set Time&quot;.</extracomment>
        <translation>Timer &amp;stoppen</translation>
    </message>
    <message>
        <source>Timer Ready!</source>
        <extracomment>In big letters in the main window while no turn runs: a turn can be started.</extracomment>
        <translation>Timer klaar!</translation>
    </message>
    <message>
        <source>Timer Started!</source>
        <extracomment>In big letters in the main window when a turn has begun.</extracomment>
        <translation>Timer loopt!</translation>
    </message>
    <message>
        <source>Time&apos;s Up!</source>
        <extracomment>In big letters, with a horn and a red window, when a turn is over; also the text of the desktop&apos;s notice. A child reads it: short and clear.</extracomment>
        <translation>De tijd is om!</translation>
    </message>
</context>
<context>
    <name>DesktopNotifications</name>
    <message>
        <source>the desktop was not notified: %1</source>
        <extracomment>On standard error, after the program&apos;s name and &quot;: &quot;. The desktop&apos;s notice of a time&apos;s up could not be sent; %1 says why.</extracomment>
        <translation>het bureaublad kreeg geen melding: %1</translation>
    </message>
    <message>
        <source>there is no session bus</source>
        <translation>er is geen sessiebus</translation>
    </message>
</context>
<context>
    <name>HelpTopics</name>
    <message>
        <source>TurnKeeper allows parents to control the amount of time thier kids spend on the computer. All settings are password protected.</source>
        <extracomment>Help topic &quot;General&quot;, first paragraph. The help speaks to parents, plainly and warmly, as one parent to another. TurnKeeper is the program&apos;s name: keep it.</extracomment>
        <translation>Met TurnKeeper bepalen ouders hoe lang hun kinderen achter de computer zitten. Alle instellingen zijn met een wachtwoord beveiligd.</translation>
    </message>
    <message>
        <source>The default password is playfairly</source>
        <extracomment>Help topic &quot;General&quot;. playfairly is the password itself: keep it exactly.</extracomment>
        <translation>Het wachtwoord is in het begin playfairly</translation>
    </message>
    <message>
        <source>Be sure to change this password as soon as possible to prevent little ones from  hacking the timer!</source>
        <extracomment>Help topic &quot;General&quot;: a friendly warning, with a wink.</extracomment>
        <translation>Verander dit wachtwoord zo snel mogelijk, zodat de kleintjes de timer niet kunnen kraken!</translation>
    </message>
    <message>
        <source>The timer settings are password protected.  The timer can be set anywhere from 1 minute to 3600 minutes(6 hours).</source>
        <extracomment>Help topic &quot;The Timer&quot;. 3600 minutes are 60 hours: the English &quot;6 hours&quot; is a typing mistake; write 60 hours.</extracomment>
        <translation>De instellingen van de timer zijn met een wachtwoord beveiligd. De timer kan op 1 tot 3600 minuten (60 uur) worden gezet.</translation>
    </message>
    <message>
        <source>The default time limit is 10 minutes.</source>
        <extracomment>Help topic &quot;Setting the Time&quot;.</extracomment>
        <translation>In het begin duurt een beurt 10 minuten.</translation>
    </message>
    <message>
        <source>To change the time limit, go to the Timer menu and select &apos;Set Timer&apos;.  Use the up/down arrows to set the desired time and press the OK button.</source>
        <extracomment>Help topic &quot;Setting the Time&quot;. &apos;Set Timer&apos; is the Timer menu&apos;s entry &quot;&amp;Set Time&quot;: name it as it reads in the translated menu, without the &amp;.</extracomment>
        <translation>Om de tijd te veranderen, ga je naar het menu ‘Timer’ en kies je ‘Tijd instellen’. Zet met de pijltjes omhoog en omlaag de gewenste tijd en klik op de knop OK.</translation>
    </message>
    <message>
        <source>TO START THE TIMER</source>
        <extracomment>Help topic &quot;Start/Stop the Timer&quot;: a heading, in capitals.</extracomment>
        <translation>DE TIMER STARTEN</translation>
    </message>
    <message>
        <source>From the Timer menu, select &apos;Start Timer&apos; and the timer will begin.</source>
        <extracomment>Help topic &quot;Start/Stop the Timer&quot;. Name the menu and its entry &quot;&amp;Start Timer&quot; as they read in the translated menu, without the &amp;.</extracomment>
        <translation>Kies in het menu ‘Timer’ voor ‘Timer starten’, dan begint de timer te lopen.</translation>
    </message>
    <message>
        <source>TO STOP THE TIMER</source>
        <extracomment>Help topic &quot;Start/Stop the Timer&quot;: a heading, in capitals.</extracomment>
        <translation>DE TIMER STOPPEN</translation>
    </message>
    <message>
        <source>From the Timer menu, select &apos;Stop Timer&apos; and the timer will stop.</source>
        <extracomment>Help topic &quot;Start/Stop the Timer&quot;. Name the menu and its entry &quot;&amp;Stop Timer&quot; as they read in the translated menu, without the &amp;.</extracomment>
        <translation>Kies in het menu ‘Timer’ voor ‘Timer stoppen’, dan stopt de timer.</translation>
    </message>
    <message>
        <source>All settings are password protected to prevent kids from stopping the timer or changing the timer length.</source>
        <extracomment>Help topic &quot;Security&quot;.</extracomment>
        <translation>Alle instellingen zijn met een wachtwoord beveiligd, zodat kinderen de timer niet kunnen stoppen of de lengte ervan kunnen veranderen.</translation>
    </message>
    <message>
        <source>See &apos;Changing the Password&apos; in this help file for directions on setting the password</source>
        <extracomment>Help topic &quot;Security&quot;. &apos;Changing the Password&apos; is the help topic of that name: name it as it reads in the translated list of topics.</extracomment>
        <translation>Hoe je het wachtwoord instelt, lees je in deze help bij ‘Wachtwoord veranderen’</translation>
    </message>
    <message>
        <source>The default password is &apos;playfairly&apos;.</source>
        <extracomment>Help topic &quot;Changing the Password&quot;. playfairly is the password: keep it exactly.</extracomment>
        <translation>Het wachtwoord is in het begin ‘playfairly’.</translation>
    </message>
    <message>
        <source>To change the password, go to the Parents menu and select &apos;Security&apos;.  Enter the new password in both text boxes to verify.  Next, press the OK button.</source>
        <extracomment>Help topic &quot;Changing the Password&quot;. Name the Parents menu and its entry &quot;&amp;Security&quot; as they read in the translated menu, without the &amp;.</extracomment>
        <translation>Om het wachtwoord te veranderen, ga je naar het menu ‘Ouders’ en kies je ‘Beveiliging’. Typ het nieuwe wachtwoord ter controle in allebei de tekstvakken. Klik daarna op de knop OK.</translation>
    </message>
    <message>
        <source>By Rowan Ashdale</source>
        <extracomment>Help topic &quot;About TurnKeeper&quot;: the author&apos;s line. Keep the name as it is.</extracomment>
        <translation>Door Rowan Ashdale</translation>
    </message>
    <message>
        <source>This product was developed out of personal necessity.  My three daughters fight over computer time and this seamed to be the only feasible solution.  I hope you enjoy this application as our family has.</source>
        <extracomment>Help topic &quot;About TurnKeeper&quot;: the author speaks of their own family, in the first person, warmly.</extracomment>
        <translation>Dit programma is uit pure noodzaak ontstaan. Mijn drie dochters vechten om computertijd, en dit leek de enige oplossing die werkt. Ik hoop dat jullie er net zo blij mee zijn als ons gezin.</translation>
    </message>
    <message>
        <source>              - Enjoy!</source>
        <extracomment>Help topic &quot;About TurnKeeper&quot;: the closing wish, set off to the right by the blanks before it; keep them.</extracomment>
        <translation>              - Veel plezier!</translation>
    </message>
</context>
<context>
    <name>SettingsStore</name>
    <message>
        <source>MaxTime</source>
        <extracomment>What could not be saved, in &quot;%1 could not be saved in %2: %3.&quot;: the length of a turn (the English names the settings file&apos;s key).</extracomment>
        <translation>de lengte van een beurt</translation>
    </message>
    <message>
        <source>Password</source>
        <extracomment>What could not be saved, in &quot;%1 could not be saved in %2: %3.&quot;: the parent password (the English names the settings file&apos;s key).</extracomment>
        <translation>het wachtwoord</translation>
    </message>
    <message>
        <source>it begins with an invisible character (U+FEFF) that a settings file drops</source>
        <extracomment>Why a text cannot be saved (%3 of &quot;%1 could not be saved in %2: %3.&quot;, or %1 of &quot;This name cannot be kept: %1.&quot;). &quot;it&quot; is the text typed.</extracomment>
        <translation>de tekst begint met een onzichtbaar teken (U+FEFF) dat een instellingenbestand kwijtraakt</translation>
    </message>
    <message>
        <source>it holds a broken character that a settings file cannot keep</source>
        <extracomment>Why a text cannot be saved; &quot;it&quot; is the text typed.</extracomment>
        <translation>de tekst bevat een ongeldig teken dat een instellingenbestand niet kan bewaren</translation>
    </message>
    <message>
        <source>%1 could not be saved in %2: %3.</source>
        <extracomment>A message when a save fails. %1 is what was saved (the children&apos;s names, the password, the length of a turn...: a text of its own, translated to fit here), %2 the settings file&apos;s path, %3 why (a text beginning &quot;the ...&quot;).</extracomment>
        <translation>Het opslaan van %1 in %2 is niet gelukt: %3.</translation>
    </message>
    <message>
        <source>the file cannot be written</source>
        <extracomment>Why a save failed (%3 of &quot;%1 could not be saved in %2: %3.&quot;).</extracomment>
        <translation>het bestand kan niet worden geschreven</translation>
    </message>
    <message>
        <source>the folder cannot be created</source>
        <extracomment>Why a save failed (%3 of &quot;%1 could not be saved in %2: %3.&quot;).</extracomment>
        <translation>de map kan niet worden aangemaakt</translation>
    </message>
    <message>
        <source>another copy of the program is saving it</source>
        <translation>een andere kopie van het programma is net aan het opslaan</translation>
    </message>
    <message>
        <source>the file was not written completely; the disk may be full</source>
        <extracomment>Why a save failed (%3 of &quot;%1 could not be saved in %2: %3.&quot;).</extracomment>
        <translation>het bestand is niet helemaal geschreven; misschien is de schijf vol</translation>
    </message>
</context>
<context>
    <name>SystemLock</name>
    <message>
        <source>%1 cannot be read, so no password opens the lock</source>
        <extracomment>On standard error (after the program&apos;s name and &quot;: &quot;), for a parent or an administrator. %1 is the path of the administrator&apos;s lock file.</extracomment>
        <translation>%1 kan niet worden gelezen, dus geen enkel wachtwoord opent het slot</translation>
    </message>
    <message>
        <source>%1 locks the program, but its %2 is missing or damaged, so no password opens the lock</source>
        <extracomment>On standard error. %1 is the path of the administrator&apos;s lock file, %2 the name of its key PasswordHash (keep it as it is).</extracomment>
        <translation>%1 vergrendelt het programma, maar de %2 ontbreekt of is beschadigd, dus geen enkel wachtwoord opent het slot</translation>
    </message>
    <message>
        <source>warning: %1 or its folder can be changed by this user, so its lock locks nothing; only root should be able to write them</source>
        <extracomment>On standard error. %1 is the path of the administrator&apos;s lock file.</extracomment>
        <translation>waarschuwing: deze gebruiker kan %1 of de map ervan veranderen, dus het slot vergrendelt niets; alleen root zou ze mogen schrijven</translation>
    </message>
    <message>
        <source>only the guard can read %1, so without it no password opens the lock</source>
        <extracomment>On standard error. %1 is the path of the file with the administrator&apos;s password hash, which only root can read.</extracomment>
        <translation>alleen de bewaker kan %1 lezen, dus zonder hem opent geen wachtwoord de vergrendeling</translation>
    </message>
</context>
<context>
    <name>TurnFigures</name>
    <message>
        <source>Everyone</source>
        <extracomment>In the Turns window&apos;s chart: the turns taken while no children&apos;s names were entered, or without a name.</extracomment>
        <translation>Iedereen</translation>
    </message>
</context>
<context>
    <name>TurnLog</name>
    <message>
        <source>turns are not recorded: the SQLite driver of Qt SQL is not installed.</source>
        <extracomment>On standard error, after the program&apos;s name and &quot;: &quot;. The record of turns is the database behind Parents &gt; Turns.</extracomment>
        <translation>beurten worden niet bijgehouden: het SQLite-stuurprogramma van Qt SQL is niet geïnstalleerd.</translation>
    </message>
    <message>
        <source>turns are not recorded: the folder %1 cannot be made.</source>
        <extracomment>On standard error. %1 is a folder&apos;s path.</extracomment>
        <translation>beurten worden niet bijgehouden: de map %1 kan niet worden aangemaakt.</translation>
    </message>
    <message>
        <source>turns are not recorded: %1 cannot be made (%2).</source>
        <extracomment>On standard error. %1 is the database file&apos;s path, %2 the database&apos;s own reason.</extracomment>
        <translation>beurten worden niet bijgehouden: %1 kan niet worden aangemaakt (%2).</translation>
    </message>
    <message>
        <source>turns are not recorded: %1 cannot be used (%2) nor moved aside.</source>
        <extracomment>On standard error. %1 is the database file&apos;s path, %2 why it cannot be used.</extracomment>
        <translation>beurten worden niet bijgehouden: %1 is onbruikbaar (%2) en kan ook niet opzij worden gezet.</translation>
    </message>
    <message>
        <source>the record of turns %1 cannot be used (%2) and was moved aside as %3, but no new one can be made (%4): turns are not recorded.</source>
        <extracomment>On standard error. %1 is the database file&apos;s path, %2 why it cannot be used, %3 the name it was moved to, %4 why a new one cannot be made.</extracomment>
        <translation>het overzicht van beurten %1 is onbruikbaar (%2) en is opzijgezet als %3, maar er kan geen nieuw worden aangemaakt (%4): beurten worden niet bijgehouden.</translation>
    </message>
    <message>
        <source>the record of turns %1 cannot be used (%2); it is kept as %3 and a new one started.</source>
        <extracomment>On standard error. %1 is the database file&apos;s path, %2 why it cannot be used, %3 the name it is kept under.</extracomment>
        <translation>het overzicht van beurten %1 is onbruikbaar (%2); het blijft bewaard als %3 en er is een nieuw begonnen.</translation>
    </message>
    <message>
        <source>its check finds: %1</source>
        <extracomment>Why the record of turns cannot be used (%2 above); &quot;it&quot; is the database file. %1 is what SQLite&apos;s check reports.</extracomment>
        <translation>de controle ervan meldt: %1</translation>
    </message>
    <message>
        <source>it was written by a newer version of the program (layout %1)</source>
        <extracomment>Why the record of turns cannot be used; %1 is a number.</extracomment>
        <translation>het is geschreven door een nieuwere versie van het programma (indeling %1)</translation>
    </message>
    <message>
        <source>it holds something other than turns</source>
        <extracomment>Why the record of turns cannot be used; &quot;it&quot; is the database file.</extracomment>
        <translation>het bevat iets anders dan beurten</translation>
    </message>
    <message>
        <source>it does not hold turns as this program keeps them</source>
        <extracomment>Why the record of turns cannot be used; &quot;it&quot; is the database file.</extracomment>
        <translation>het bevat geen beurten zoals dit programma ze bewaart</translation>
    </message>
    <message>
        <source>it cannot keep a write-ahead log</source>
        <extracomment>Why the record of turns cannot be used; &quot;it&quot; is the database file. A write-ahead log is SQLite&apos;s journal_mode=WAL.</extracomment>
        <translation>het kan geen write-ahead-log bijhouden</translation>
    </message>
    <message>
        <source>a turn could not be recorded in %1: %2</source>
        <extracomment>On standard error. %1 is the database file&apos;s path, %2 the database&apos;s reason.</extracomment>
        <translation>een beurt kon niet worden bijgehouden in %1: %2</translation>
    </message>
</context>
<context>
    <name>TurnRecord</name>
    <message>
        <source>The running turn</source>
        <extracomment>What could not be saved, in &quot;%1 could not be saved in %2: %3.&quot;: the turn that runs now, kept so that it outlives the program.</extracomment>
        <translation>de lopende beurt</translation>
    </message>
    <message>
        <source>The end of the turn</source>
        <extracomment>What could not be saved, in &quot;%1 could not be saved in %2: %3.&quot;: that the turn is over.</extracomment>
        <translation>het einde van de beurt</translation>
    </message>
</context>
<context>
    <name>TurnsChart</name>
    <message>
        <source>Minutes per day</source>
        <extracomment>Accessible name (read by screen readers) of the chart in the Turns window.</extracomment>
        <translation>Minuten per dag</translation>
    </message>
    <message>
        <source>Today</source>
        <extracomment>Under the chart&apos;s last group of bars, in place of the day&apos;s name and date.</extracomment>
        <translation>Vandaag</translation>
    </message>
    <message>
        <source>%1 %2 minutes</source>
        <extracomment>Read by screen readers, describing the chart: %1 is a child&apos;s name (or &quot;Everyone&quot;), %2 the minutes that child had today (&quot;Ann 12.5 minutes&quot;).</extracomment>
        <translation>%1 %2 minuten</translation>
    </message>
    <message>
        <source>No turns today.</source>
        <translation>Vandaag nog geen beurten.</translation>
    </message>
    <message>
        <source>Today: %1.</source>
        <translation>Vandaag: %1.</translation>
    </message>
    <message>
        <source>Minutes</source>
        <extracomment>Above the chart&apos;s axis of values: the unit.</extracomment>
        <translation>Minuten</translation>
    </message>
</context>
<context>
    <name>UiService</name>
    <message>
        <source>Set a timer to settle disagreements between your kids!!</source>
        <extracomment>The program&apos;s one-line description, under its name in the About window and in the desktop&apos;s menus: cheerful, for parents.</extracomment>
        <translation>Zet een timer en maak een eind aan de ruzies tussen je kinderen!</translation>
    </message>
    <message>
        <source>%1 is silent: %2</source>
        <extracomment>On standard error, after the program&apos;s name and &quot;: &quot;. %1 is a sound file&apos;s name (horn.wav), %2 why it cannot be heard.</extracomment>
        <translation>%1 blijft stil: %2</translation>
    </message>
    <message>
        <source>it cannot be played</source>
        <extracomment>Why a sound cannot be heard (%2 of &quot;%1 is silent: %2&quot;).</extracomment>
        <translation>het bestand kan niet worden afgespeeld</translation>
    </message>
    <message>
        <source>there is no audio output (no sound server answers)</source>
        <extracomment>Why a sound cannot be heard (%2 of &quot;%1 is silent: %2&quot;).</extracomment>
        <translation>er is geen geluidsuitvoer (geen geluidsserver antwoordt)</translation>
    </message>
    <message>
        <source>the sound module cannot be loaded (%1)</source>
        <extracomment>Why a sound cannot be heard (%2 of &quot;%1 is silent: %2&quot;); %1 here is what the system said, or the folders searched.</extracomment>
        <translation>de geluidsmodule kan niet worden geladen (%1)</translation>
    </message>
</context>
<context>
    <name>UpDown</name>
    <message>
        <source>Up</source>
        <extracomment>Accessible name (read by screen readers) of the arrow that makes the number larger.</extracomment>
        <translation>Omhoog</translation>
    </message>
    <message>
        <source>Down</source>
        <extracomment>Accessible name of the arrow that makes the number smaller.</extracomment>
        <translation>Omlaag</translation>
    </message>
</context>
<context>
    <name>frmAbout</name>
    <message>
        <source>OK</source>
        <extracomment>The button that closes the About window.</extracomment>
        <translation>OK</translation>
    </message>
    <message>
        <source>&amp;System Info...</source>
        <extracomment>A button that opens the desktop&apos;s own program showing what the computer is made of. &amp; marks the access key.</extracomment>
        <translation>&amp;Systeem...</translation>
    </message>
    <message>
        <source>Face</source>
        <extracomment>Accessible name (read by screen readers) of the program&apos;s picture, a face.</extracomment>
        <translation>Gezicht</translation>
    </message>
    <message>
        <source>About %1</source>
        <extracomment>The About window&apos;s title. %1 is the program&apos;s name, TurnKeeper.</extracomment>
        <translation>Over %1</translation>
    </message>
    <message>
        <source>Version %1.%2.%3</source>
        <extracomment>%1.%2.%3 make the version number, as 1.0.8.</extracomment>
        <translation>Versie %1.%2.%3</translation>
    </message>
    <message>
        <source>System Information Is Unavailable At This Time</source>
        <extracomment>A message when no program can show the system information.</extracomment>
        <translation>Systeeminformatie is op dit moment niet beschikbaar.</translation>
    </message>
</context>
<context>
    <name>frmChildren</name>
    <message>
        <source>Children</source>
        <extracomment>The title of the window where a parent enters the children&apos;s first names.</extracomment>
        <translation>Kinderen</translation>
    </message>
    <message>
        <source>&amp;Names, in turn order:</source>
        <extracomment>Above the list of names. &amp; marks the access key.</extracomment>
        <translation>&amp;Namen, op volgorde:</translation>
    </message>
    <message>
        <source>Names, in turn order</source>
        <extracomment>Accessible name (read by screen readers) of the list of names.</extracomment>
        <translation>Namen, op volgorde</translation>
    </message>
    <message>
        <source>N&amp;ame:</source>
        <extracomment>Beside the box where a name is typed. &amp; marks the access key.</extracomment>
        <translation>N&amp;aam:</translation>
    </message>
    <message>
        <source>Name</source>
        <extracomment>Accessible name of the box where a name is typed.</extracomment>
        <translation>Naam</translation>
    </message>
    <message>
        <source>A&amp;dd</source>
        <extracomment>A button: adds the name typed to the list. &amp; marks the access key.</extracomment>
        <translation>&amp;Toevoegen</translation>
    </message>
    <message>
        <source>Add the name</source>
        <extracomment>Accessible name of the button &quot;A&amp;dd&quot;.</extracomment>
        <translation>De naam toevoegen</translation>
    </message>
    <message>
        <source>&amp;Rename</source>
        <extracomment>A button: gives the child chosen in the list the name typed. &amp; marks the access key.</extracomment>
        <translation>Naam &amp;wijzigen</translation>
    </message>
    <message>
        <source>Rename the chosen child</source>
        <extracomment>Accessible name of the button &quot;&amp;Rename&quot;.</extracomment>
        <translation>Het gekozen kind een andere naam geven</translation>
    </message>
    <message>
        <source>Re&amp;move</source>
        <extracomment>A button: takes the child chosen off the list. &amp; marks the access key.</extracomment>
        <translation>&amp;Verwijderen</translation>
    </message>
    <message>
        <source>Remove the chosen child</source>
        <extracomment>Accessible name of the button &quot;Re&amp;move&quot;.</extracomment>
        <translation>Het gekozen kind verwijderen</translation>
    </message>
    <message>
        <source>Move &amp;Up</source>
        <extracomment>A button: moves the child chosen one place earlier in turn order. &amp; marks the access key.</extracomment>
        <translation>&amp;Omhoog</translation>
    </message>
    <message>
        <source>Move the chosen child up</source>
        <extracomment>Accessible name of the button &quot;Move &amp;Up&quot;.</extracomment>
        <translation>Het gekozen kind omhoog schuiven</translation>
    </message>
    <message>
        <source>Move Do&amp;wn</source>
        <extracomment>A button: moves the child chosen one place later in turn order. &amp; marks the access key.</extracomment>
        <translation>Om&amp;laag</translation>
    </message>
    <message>
        <source>Move the chosen child down</source>
        <extracomment>Accessible name of the button &quot;Move Do&amp;wn&quot;.</extracomment>
        <translation>Het gekozen kind omlaag schuiven</translation>
    </message>
    <message>
        <source>Ne&amp;xt Turn</source>
        <extracomment>A button: the child chosen has the next turn. &amp; marks the access key.</extracomment>
        <translation>Volgende &amp;beurt</translation>
    </message>
    <message>
        <source>Give the chosen child the next turn</source>
        <extracomment>Accessible name of the button &quot;Ne&amp;xt Turn&quot;.</extracomment>
        <translation>Het gekozen kind krijgt de volgende beurt</translation>
    </message>
    <message>
        <source>OK</source>
        <extracomment>Keeps the names as they are now in the window.</extracomment>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <extracomment>Closes the window, keeping the names as they were.</extracomment>
        <translation>Annuleren</translation>
    </message>
    <message>
        <source>No names: the turns belong to no one.</source>
        <extracomment>Under the list when it is empty: without names the timer counts for anyone.</extracomment>
        <translation>Geen namen: de beurten zijn van niemand.</translation>
    </message>
    <message>
        <source>The administrator&apos;s lock sets these names and their order.</source>
        <extracomment>In the Children window, under a lock an administrator set for every account of the computer: the names and their order are the lock&apos;s, and cannot be changed here.</extracomment>
        <translation>Deze namen en hun volgorde worden door het slot van de beheerder ingesteld.</translation>
    </message>
</context>
<context>
    <name>frmFamilyRules</name>
    <message>
        <source>Family Rules</source>
        <extracomment>The title of the window where a parent sets the rules the lock keeps on every account of the computer.</extracomment>
        <translation>Gezinsregels</translation>
    </message>
    <message>
        <source>&amp;Keep these rules on every account of this computer</source>
        <extracomment>A check box: whether the lock stands, with the rules below and the parent password, on every account. &amp; marks the access key.</extracomment>
        <translation>Deze regels op &amp;elk account van deze computer toepassen</translation>
    </message>
    <message>
        <source>Turn length, in minutes</source>
        <extracomment>Accessible name (read by screen readers) of the turn&apos;s length.</extracomment>
        <translation>Lengte van een beurt, in minuten</translation>
    </message>
    <message>
        <source>Turn &amp;length, in minutes:</source>
        <extracomment>Beside the box with the length of every turn. &amp; marks the access key.</extracomment>
        <translation>&amp;Lengte van een beurt, in minuten:</translation>
    </message>
    <message>
        <source>Break after a time&apos;s up, in minutes</source>
        <extracomment>Accessible name of the break&apos;s box.</extracomment>
        <translation>Pauze nadat de tijd om is, in minuten</translation>
    </message>
    <message>
        <source>None</source>
        <extracomment>In the break&apos;s box when it holds 0: no break after a time&apos;s up.</extracomment>
        <translation>Geen</translation>
    </message>
    <message>
        <source>&amp;Break after a time&apos;s up, in minutes:</source>
        <extracomment>Beside the box with the minutes before the next turn may start after a time&apos;s up. &amp; marks the access key.</extracomment>
        <translation>&amp;Pauze nadat de tijd om is, in minuten:</translation>
    </message>
    <message>
        <source>Lock the desktop &amp;outside turns</source>
        <extracomment>A check box: the accounts named below are locked whenever no turn runs. &amp; marks the access key.</extracomment>
        <translation>Het bureaublad buiten de beurten &amp;vergrendelen</translation>
    </message>
    <message>
        <source>Accounts locked outside turns, apart by commas</source>
        <extracomment>Accessible name of the box of accounts locked outside turns.</extracomment>
        <translation>Accounts die buiten de beurten vergrendeld worden, gescheiden door komma&apos;s</translation>
    </message>
    <message>
        <source>A&amp;ccounts locked outside turns, apart by commas:</source>
        <extracomment>Above the box where the computer&apos;s accounts (their login names) are typed, such as &quot;ann, ben&quot;. &amp; marks the access key.</extracomment>
        <translation>&amp;Accounts die buiten de beurten vergrendeld worden, gescheiden door komma&apos;s:</translation>
    </message>
    <message>
        <source>Children, in turn order</source>
        <extracomment>Accessible name of the list of children, with each one&apos;s time a day.</extracomment>
        <translation>Kinderen, op volgorde</translation>
    </message>
    <message>
        <source>Child</source>
        <extracomment>A column&apos;s heading: the child&apos;s name.</extracomment>
        <translation>Kind</translation>
    </message>
    <message>
        <source>Minutes a day</source>
        <extracomment>A column&apos;s heading: how many minutes of turns the child may have a day.</extracomment>
        <translation>Minuten per dag</translation>
    </message>
    <message>
        <source>Minutes today</source>
        <extracomment>A column&apos;s heading: how many minutes of turns the child has had today.</extracomment>
        <translation>Minuten vandaag</translation>
    </message>
    <message>
        <source>Columns of the children</source>
        <extracomment>Accessible name of the list&apos;s row of column headings.</extracomment>
        <translation>Kolommen van de lijst met kinderen</translation>
    </message>
    <message>
        <source>C&amp;hildren, in turn order:</source>
        <extracomment>Above the list of children. &amp; marks the access key.</extracomment>
        <translation>&amp;Kinderen, op volgorde:</translation>
    </message>
    <message>
        <source>Move &amp;Up</source>
        <extracomment>A button: moves the child chosen one place earlier in turn order. &amp; marks the access key.</extracomment>
        <translation>&amp;Omhoog</translation>
    </message>
    <message>
        <source>Move the chosen child up</source>
        <extracomment>Accessible name of the button &quot;Move &amp;Up&quot;.</extracomment>
        <translation>Het gekozen kind omhoog schuiven</translation>
    </message>
    <message>
        <source>Move Do&amp;wn</source>
        <extracomment>A button: moves the child chosen one place later in turn order. &amp; marks the access key.</extracomment>
        <translation>Omlaa&amp;g</translation>
    </message>
    <message>
        <source>Move the chosen child down</source>
        <extracomment>Accessible name of the button &quot;Move Do&amp;wn&quot;.</extracomment>
        <translation>Het gekozen kind omlaag schuiven</translation>
    </message>
    <message>
        <source>Re&amp;move</source>
        <extracomment>A button: takes the child chosen off the list. &amp; marks the access key.</extracomment>
        <translation>Verw&amp;ijderen</translation>
    </message>
    <message>
        <source>Remove the chosen child</source>
        <extracomment>Accessible name of the button &quot;Re&amp;move&quot;.</extracomment>
        <translation>Het gekozen kind verwijderen</translation>
    </message>
    <message>
        <source>Time a day for the chosen child, in minutes</source>
        <extracomment>Accessible name of the box of the chosen child&apos;s time a day.</extracomment>
        <translation>Tijd per dag voor het gekozen kind, in minuten</translation>
    </message>
    <message>
        <source>No limit</source>
        <extracomment>In the box of a child&apos;s time a day, and in the list, for 0: the child may have turns all day long.</extracomment>
        <translation>Geen limiet</translation>
    </message>
    <message>
        <source>&amp;Time a day for the chosen child, in minutes:</source>
        <extracomment>Beside the box with the minutes of turns the child chosen in the list may have a day. &amp; marks the access key.</extracomment>
        <translation>Tijd per &amp;dag voor het gekozen kind, in minuten:</translation>
    </message>
    <message>
        <source>Name of a new child</source>
        <extracomment>Accessible name of the box where a new child&apos;s name is typed.</extracomment>
        <translation>Naam van een nieuw kind</translation>
    </message>
    <message>
        <source>&amp;Name of a new child:</source>
        <extracomment>Beside the box where a new child&apos;s name is typed. &amp; marks the access key.</extracomment>
        <translation>&amp;Naam van een nieuw kind:</translation>
    </message>
    <message>
        <source>A&amp;dd</source>
        <extracomment>A button: adds the child whose name is typed to the end of the list. &amp; marks the access key.</extracomment>
        <translation>&amp;Toevoegen</translation>
    </message>
    <message>
        <source>Add the child</source>
        <extracomment>Accessible name of the button &quot;A&amp;dd&quot;.</extracomment>
        <translation>Het kind toevoegen</translation>
    </message>
    <message>
        <source>New parent password</source>
        <extracomment>Accessible name of the box for a new parent password.</extracomment>
        <translation>Nieuw wachtwoord van de ouders</translation>
    </message>
    <message>
        <source>New parent &amp;password:</source>
        <extracomment>Beside the box for a new parent password. &amp; marks the access key.</extracomment>
        <translation>Nieuw &amp;wachtwoord van de ouders:</translation>
    </message>
    <message>
        <source>Verify the new password</source>
        <extracomment>Accessible name of the box where the new password is typed a second time, to check it.</extracomment>
        <translation>Het nieuwe wachtwoord bevestigen</translation>
    </message>
    <message>
        <source>&amp;Verify the new password:</source>
        <extracomment>Beside the box where the new password is typed a second time, to check it. &amp; marks the access key.</extracomment>
        <translation>Nieuw wachtwoord &amp;bevestigen:</translation>
    </message>
    <message>
        <source>Leave both empty to keep the password in force.</source>
        <extracomment>Under the two password boxes.</extracomment>
        <translation>Laat beide vakken leeg om het huidige wachtwoord te houden.</translation>
    </message>
    <message>
        <source>OK</source>
        <extracomment>Keeps the rules as they are now in the window.</extracomment>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <extracomment>Closes the window, keeping the rules as they were.</extracomment>
        <translation>Annuleren</translation>
    </message>
    <message>
        <source>A name in the family rules cannot hold , ; = # &quot; or \.</source>
        <extracomment>A message when a child&apos;s name holds a character the lock&apos;s file cannot keep in a name. Keep the characters as they are.</extracomment>
        <translation>Een naam in de gezinsregels mag geen , ; = # &quot; of \ bevatten.</translation>
    </message>
    <message>
        <source>At most %1 children can take turns.</source>
        <extracomment>A message when a parent adds a child to a full list. %1 is the number (32).</extracomment>
        <translation>Er kunnen hoogstens %1 kinderen om de beurt.</translation>
    </message>
    <message>
        <source>The two passwords differ. Type the new password the same way in both boxes.</source>
        <extracomment>A message when the new password and its second typing differ.</extracomment>
        <translation>De twee wachtwoorden zijn niet gelijk. Typ het nieuwe wachtwoord in beide vakken op dezelfde manier.</translation>
    </message>
    <message>
        <source>A new lock needs a parent password. Type it in both boxes.</source>
        <extracomment>A message when a parent sets the lock where none stood, without a password.</extracomment>
        <translation>Een nieuwe vergrendeling heeft een wachtwoord van de ouders nodig. Typ het in beide vakken.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not the name of an account: such a name holds only letters a to z, digits, _, . and -, and begins with a letter or _.</source>
        <extracomment>A message when a text typed among the accounts cannot be an account&apos;s name (a login name such as &quot;ann&quot;). %1 is that text.</extracomment>
        <translation>‘%1’ is geen naam van een account: zo&apos;n naam bevat alleen de letters a tot z, cijfers, _, . en -, en begint met een letter of _.</translation>
    </message>
    <message>
        <source>Name at least one account to lock outside turns.</source>
        <extracomment>A message when the desktop is to be locked outside turns but no account is named.</extracomment>
        <translation>Noem minstens één account dat buiten de beurten vergrendeld wordt.</translation>
    </message>
    <message>
        <source>These rules cannot be kept: %1.</source>
        <extracomment>A message when the rules break a rule of the lock&apos;s file that the window does not check itself. %1 says which, in English.</extracomment>
        <translation>Deze regels kunnen niet gelden: %1.</translation>
    </message>
</context>
<context>
    <name>frmHelp</name>
    <message>
        <source>General</source>
        <extracomment>A help topic in the list of topics, and its heading.</extracomment>
        <translation>Algemeen</translation>
    </message>
    <message>
        <source>The Timer</source>
        <extracomment>A help topic (about the timer&apos;s settings), and its heading.</extracomment>
        <translation>De timer</translation>
    </message>
    <message>
        <source>Setting the Time</source>
        <extracomment>A help topic under &quot;The Timer&quot;: how to choose the length of a turn.</extracomment>
        <translation>Tijd instellen</translation>
    </message>
    <message>
        <source>Start/Stop the Timer</source>
        <extracomment>A help topic under &quot;The Timer&quot;: how to start and stop it.</extracomment>
        <translation>Starten/Stoppen</translation>
    </message>
    <message>
        <source>Security</source>
        <extracomment>A help topic: the password and what it protects.</extracomment>
        <translation>Beveiliging</translation>
    </message>
    <message>
        <source>Changing the Password</source>
        <extracomment>A help topic under &quot;Security&quot;. The topic &quot;Security&quot; names it in its text.</extracomment>
        <translation>Wachtwoord veranderen</translation>
    </message>
    <message>
        <source>About TurnKeeper</source>
        <extracomment>A help topic about the program and its author. TurnKeeper is the program&apos;s name.</extracomment>
        <translation>Over TurnKeeper</translation>
    </message>
    <message>
        <source>TurnKeeper Help</source>
        <extracomment>The help window&apos;s title. TurnKeeper is the program&apos;s name.</extracomment>
        <translation>TurnKeeper-help</translation>
    </message>
    <message>
        <source>OK</source>
        <extracomment>The button that closes the help window.</extracomment>
        <translation>OK</translation>
    </message>
    <message>
        <source>Select A Topic :</source>
        <extracomment>Above the list of help topics.</extracomment>
        <translation>Onderwerp kiezen:</translation>
    </message>
    <message>
        <source>Topics</source>
        <extracomment>Accessible name (read by screen readers) of the list of help topics.</extracomment>
        <translation>Onderwerpen</translation>
    </message>
</context>
<context>
    <name>frmLogin</name>
    <message>
        <source>TurnKeeper Security</source>
        <extracomment>The title of the small window that asks for the parent password. TurnKeeper is the program&apos;s name.</extracomment>
        <translation>TurnKeeper-beveiliging</translation>
    </message>
    <message>
        <source>Enter Password:</source>
        <extracomment>Above the box where a parent types the password.</extracomment>
        <translation>Wachtwoord:</translation>
    </message>
    <message>
        <source>OK</source>
        <extracomment>Checks the password typed.</extracomment>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <extracomment>Closes the window without a password.</extracomment>
        <translation>Terug</translation>
    </message>
    <message>
        <source>Login Failed: Invalid Password</source>
        <extracomment>A message when the password typed is wrong.</extracomment>
        <translation>Dat lukte niet: het wachtwoord klopt niet.</translation>
    </message>
    <message>
        <source>%1 Login</source>
        <extracomment>The title of that message. %1 is the program&apos;s name (TurnKeeper).</extracomment>
        <translation>Inloggen bij %1</translation>
    </message>
    <message>
        <source>Too many wrong passwords. Wait a little and try again.</source>
        <extracomment>Said when wrong passwords came too fast and the next try must wait.</extracomment>
        <translation>Te veel verkeerde wachtwoorden. Wacht even en probeer het opnieuw.</translation>
    </message>
</context>
<context>
    <name>frmMain</name>
    <message>
        <source>Time left</source>
        <extracomment>Accessible name (read by screen readers) of the bar that fills as a turn runs.</extracomment>
        <translation>Resterende tijd</translation>
    </message>
    <message>
        <source>Pa&amp;rents</source>
        <extracomment>The menu of what parents do, behind their password. &amp; marks the access key; keep it apart from those of &quot;&amp;Timer&quot; and &quot;&amp;Help&quot;.</extracomment>
        <translation>&amp;Ouders</translation>
    </message>
    <message>
        <source>&amp;Security</source>
        <extracomment>Parents menu: opens the window that changes the parent password.</extracomment>
        <translation>&amp;Beveiliging</translation>
    </message>
    <message>
        <source>&amp;Children...</source>
        <extracomment>Parents menu: opens the window with the children&apos;s names, in turn order.</extracomment>
        <translation>&amp;Kinderen...</translation>
    </message>
    <message>
        <source>T&amp;urns...</source>
        <extracomment>Parents menu: opens the record of the turns taken, with a chart.</extracomment>
        <translation>Be&amp;urten...</translation>
    </message>
    <message>
        <source>&amp;Exit</source>
        <extracomment>Parents menu: ends the program.</extracomment>
        <translation>&amp;Afsluiten</translation>
    </message>
    <message>
        <source>&amp;Timer</source>
        <extracomment>The menu that sets, starts and stops the timer.</extracomment>
        <translation>&amp;Timer</translation>
    </message>
    <message>
        <source>&amp;Set Time</source>
        <extracomment>Timer menu: opens the window where a parent chooses how many minutes a turn lasts. Keep its access key apart from that of &quot;&amp;Start Timer&quot; and &quot;&amp;Stop Timer&quot;.</extracomment>
        <translation>&amp;Tijd instellen</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <extracomment>The help menu.</extracomment>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>&amp;Contents</source>
        <extracomment>Help menu: opens the help window with its topics.</extracomment>
        <translation>&amp;Inhoud</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <extracomment>Help menu: opens the window about the program (its version, its author).</extracomment>
        <translation>&amp;Over</translation>
    </message>
    <message>
        <source>Face</source>
        <extracomment>Accessible name (read by screen readers) of the picture of a plain face, shown while no turn runs.</extracomment>
        <translation>Gezicht</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <extracomment>On the bar while a turn runs: %1 is the name of the child whose turn it is, %2 the time left as minutes:seconds (&quot;Ann: 9:57&quot;).</extracomment>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>Smiling face</source>
        <extracomment>Accessible name of the picture while a turn runs.</extracomment>
        <translation>Lachend gezicht</translation>
    </message>
    <message>
        <source>Frowning face</source>
        <extracomment>Accessible name of the picture when the time is up.</extracomment>
        <translation>Verdrietig gezicht</translation>
    </message>
    <message>
        <source>Break until %1. A parent&apos;s password starts a turn now.</source>
        <extracomment>Said when Start is chosen during the break after a time&apos;s up. %1 is the time of day the break ends (&quot;14:35&quot;).</extracomment>
        <translation>Pauze tot %1. Met het wachtwoord van een ouder begint de beurt meteen.</translation>
    </message>
    <message>
        <source>The record of turns cannot be read now.</source>
        <extracomment>Said when the Turns window cannot get the record of turns from the guard.</extracomment>
        <translation>De lijst met beurten kan nu niet worden gelezen.</translation>
    </message>
    <message>
        <source>the guard does not answer, so no turn can start until it does</source>
        <extracomment>On standard error, after the program&apos;s name and &quot;: &quot;, where the administrator&apos;s lock says the guard keeps the turn but it does not answer.</extracomment>
        <translation>de bewaker antwoordt niet, dus er kan geen beurt beginnen tot hij antwoordt</translation>
    </message>
    <message>
        <source>The guard does not answer, so no turn can start. Ask a parent.</source>
        <extracomment>Said when Start is chosen where the administrator&apos;s lock gives the turn to the guard (the system service that keeps it) and the guard does not answer.</extracomment>
        <translation>De bewaker antwoordt niet, dus er kan geen beurt beginnen. Vraag het aan een ouder.</translation>
    </message>
    <message>
        <source>The parent lock is off: this window keeps the turn again.</source>
        <extracomment>Said when the administrator lifts the lock while the program runs: from now on the window keeps the turn itself, as it does without the lock.</extracomment>
        <translation>Het ouderslot is uit: dit venster houdt de beurt weer zelf bij.</translation>
    </message>
</context>
<context>
    <name>frmPasswords</name>
    <message>
        <source>Modify Security Settings</source>
        <extracomment>The title of the window where a parent changes the password.</extracomment>
        <translation>Beveiliging instellen</translation>
    </message>
    <message>
        <source>Password</source>
        <extracomment>The frame around the three password boxes.</extracomment>
        <translation>Wachtwoord</translation>
    </message>
    <message>
        <source>Current Password:</source>
        <extracomment>Above the box that shows the password in use now.</extracomment>
        <translation>Huidig:</translation>
    </message>
    <message>
        <source>New Password:</source>
        <extracomment>Above the box for the new password.</extracomment>
        <translation>Nieuw:</translation>
    </message>
    <message>
        <source>Verify Password:</source>
        <extracomment>Above the box where the new password is typed a second time, to check it.</extracomment>
        <translation>Herhalen:</translation>
    </message>
    <message>
        <source>OK</source>
        <extracomment>Saves the new password.</extracomment>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <extracomment>Closes the window, keeping the password as it was.</extracomment>
        <translation>Terug</translation>
    </message>
    <message>
        <source>The password is set by the administrator.</source>
        <extracomment>A message when the computer&apos;s administrator has locked the password.</extracomment>
        <translation>Het wachtwoord wordt door de beheerder ingesteld.</translation>
    </message>
    <message>
        <source>Passwords Do Not Match.</source>
        <extracomment>A message when the new password and its second typing differ.</extracomment>
        <translation>De wachtwoorden zijn niet gelijk.</translation>
    </message>
</context>
<context>
    <name>frmSetTime</name>
    <message>
        <source>Set TurnKeeper Timer</source>
        <extracomment>The title of the window where a parent chooses how long a turn lasts. TurnKeeper is the program&apos;s name.</extracomment>
        <translation>Timer instellen</translation>
    </message>
    <message>
        <source>Select a timer length :</source>
        <extracomment>Beside the box with the number of minutes a turn lasts.</extracomment>
        <translation>Lengte van een beurt:</translation>
    </message>
    <message>
        <source>(Minutes)</source>
        <extracomment>Under the number: its unit. Keep it short, the space is small.</extracomment>
        <translation>(minuten)</translation>
    </message>
    <message>
        <source>Timer length in minutes</source>
        <extracomment>Accessible name (read by screen readers) of the arrows beside the number.</extracomment>
        <translation>Lengte van de timer in minuten</translation>
    </message>
    <message>
        <source>OK</source>
        <extracomment>Keeps the length chosen.</extracomment>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <extracomment>Closes the window, keeping the length as it was.</extracomment>
        <translation>Terug</translation>
    </message>
    <message>
        <source>This must be a numeric value.</source>
        <extracomment>A message when a key other than a digit is typed into the number of minutes.</extracomment>
        <translation>Hier moet een getal staan.</translation>
    </message>
    <message>
        <source>This must be set lower than 3600.</source>
        <extracomment>A message when the number of minutes is too large; 3600 is the most allowed.</extracomment>
        <translation>Dit mag hoogstens 3600 zijn.</translation>
    </message>
    <message>
        <source>This must be set greater or equal to 1.</source>
        <extracomment>A message when the number of minutes is below 1, the least allowed.</extracomment>
        <translation>Dit moet minstens 1 zijn.</translation>
    </message>
    <message>
        <source>Timer must be set to at least 1!</source>
        <extracomment>A message when the down arrow would go below 1 minute.</extracomment>
        <translation>De timer moet minstens 1 minuut lopen!</translation>
    </message>
    <message>
        <source>Timer Limit</source>
        <extracomment>The title of that message.</extracomment>
        <translation>Minimumtijd</translation>
    </message>
    <message>
        <source>The timer length is set by the administrator.</source>
        <extracomment>A message when the computer&apos;s administrator has locked the length of a turn.</extracomment>
        <translation>De lengte van de timer wordt door de beheerder ingesteld.</translation>
    </message>
</context>
<context>
    <name>frmTurns</name>
    <message>
        <source>Turns</source>
        <extracomment>The title of the window with the record of the turns taken.</extracomment>
        <translation>Beurten</translation>
    </message>
    <message>
        <source>Last turns</source>
        <extracomment>Accessible name (read by screen readers) of the table of the last turns.</extracomment>
        <translation>Laatste beurten</translation>
    </message>
    <message>
        <source>Child</source>
        <extracomment>A column&apos;s heading: the child whose turn it was.</extracomment>
        <translation>Kind</translation>
    </message>
    <message>
        <source>Started</source>
        <extracomment>A column&apos;s heading: the date and time the turn began.</extracomment>
        <translation>Begin</translation>
    </message>
    <message>
        <source>Minutes</source>
        <extracomment>A column&apos;s heading: how many minutes the turn took.</extracomment>
        <translation>Minuten</translation>
    </message>
    <message>
        <source>How it ended</source>
        <extracomment>A column&apos;s heading: time&apos;s up, stopped by a parent...</extracomment>
        <translation>Hoe het afliep</translation>
    </message>
    <message>
        <source>Columns of the last turns</source>
        <extracomment>Accessible name of the table&apos;s row of column headings.</extracomment>
        <translation>Kolommen van de laatste beurten</translation>
    </message>
    <message>
        <source>&amp;Last turns:</source>
        <extracomment>Above the table. &amp; marks the access key; keep it apart from &quot;&amp;Export...&quot;.</extracomment>
        <translation>&amp;Laatste beurten:</translation>
    </message>
    <message>
        <source>&amp;Export...</source>
        <extracomment>A button: saves the record of turns as a CSV file (for a spreadsheet). &amp; marks the access key.</extracomment>
        <translation>&amp;Exporteren...</translation>
    </message>
    <message>
        <source>Export the record of turns</source>
        <extracomment>Accessible name of the button &quot;&amp;Export...&quot;.</extracomment>
        <translation>Het overzicht van beurten exporteren</translation>
    </message>
    <message>
        <source>Close</source>
        <extracomment>Closes the window.</extracomment>
        <translation>Sluiten</translation>
    </message>
    <message>
        <source>Running</source>
        <extracomment>How a turn ended: it has not, it still runs.</extracomment>
        <translation>Loopt nog</translation>
    </message>
    <message>
        <source>Time&apos;s up</source>
        <extracomment>How a turn ended: its time was up.</extracomment>
        <translation>Tijd om</translation>
    </message>
    <message>
        <source>Stopped by a parent</source>
        <extracomment>How a turn ended: a parent stopped it with the password.</extracomment>
        <translation>Gestopt door een ouder</translation>
    </message>
    <message>
        <source>Program ended</source>
        <extracomment>How a turn ended: the program was ended (the computer was shut down, say), and the turn went on at its next start.</extracomment>
        <translation>Programma afgesloten</translation>
    </message>
    <message>
        <source>Abandoned</source>
        <extracomment>How a turn ended: the program was ended and not started again before the turn&apos;s time was over.</extracomment>
        <translation>Afgebroken</translation>
    </message>
    <message>
        <source>Export Turns</source>
        <extracomment>The title of the dialog that asks where to save the record of turns.</extracomment>
        <translation>Beurten exporteren</translation>
    </message>
    <message>
        <source>turns-%1.csv</source>
        <extracomment>The file name offered. %1 is today&apos;s date (2026-12-07). Letters, digits and hyphens only.</extracomment>
        <translation>beurten-%1.csv</translation>
    </message>
    <message>
        <source>CSV files (*.csv);;All files (*)</source>
        <extracomment>The kinds of files offered, separated by ;;. Translate the words only; keep (*.csv) and (*) as they are.</extracomment>
        <translation>CSV-bestanden (*.csv);;Alle bestanden (*)</translation>
    </message>
    <message>
        <source>The turns could not be saved in %1: %2.</source>
        <extracomment>A message when the export fails. %1 is the file&apos;s path, %2 why.</extracomment>
        <translation>De beurten konden niet worden opgeslagen in %1: %2.</translation>
    </message>
    <message>
        <source>Resize</source>
        <extracomment>Accessible name (read by screen readers) of the corner that resizes the window.</extracomment>
        <translation>Grootte wijzigen</translation>
    </message>
</context>
</TS>
