<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es" sourcelanguage="en">
<context>
    <name>Children</name>
    <message>
        <source>The children&apos;s names</source>
        <extracomment>What could not be saved, in &quot;%1 could not be saved in %2: %3.&quot; (see there).</extracomment>
        <translation>los nombres de los niños</translation>
    </message>
    <message>
        <source>A name needs at least one letter.</source>
        <extracomment>A message when a parent adds an empty name in the Children window.</extracomment>
        <translation>El nombre debe tener al menos una letra.</translation>
    </message>
    <message>
        <source>A name can be at most %1 characters long.</source>
        <extracomment>A message when a name is too long. %1 is the number of characters (40).</extracomment>
        <translation>Un nombre puede tener como máximo %1 caracteres.</translation>
    </message>
    <message>
        <source>%1 is already in the list.</source>
        <extracomment>A message when a name is given twice. %1 is the child&apos;s name.</extracomment>
        <translation>%1 ya está en la lista.</translation>
    </message>
    <message>
        <source>This name cannot be kept: %1.</source>
        <extracomment>A message when a name holds a character the settings file loses. %1 says which (a text of the context SettingsStore beginning with &quot;it ...&quot;).</extracomment>
        <translation>Este nombre no se puede guardar: %1.</translation>
    </message>
    <message>
        <source>Next: %1</source>
        <extracomment>On the main window&apos;s bar and in the Children window: whose turn comes next. %1 is a child&apos;s first name.</extracomment>
        <translation>Siguiente: %1</translation>
    </message>
    <message>
        <source>A name cannot hold line breaks, tabs or invisible characters.</source>
        <extracomment>A message when a name holds a line break, a tab or an invisible character that changes how text runs (such as a right-to-left mark).</extracomment>
        <translation>Un nombre no puede contener saltos de línea, tabulaciones ni caracteres invisibles.</translation>
    </message>
</context>
<context>
    <name>Countdown</name>
    <message>
        <source>&amp;Start Timer</source>
        <extracomment>The Timer menu&apos;s entry that starts a turn. The same entry reads &quot;&amp;Stop Timer&quot; while a turn runs. &amp; marks the access key (Alt and that letter); keep it apart from the one of &quot;&amp;Set Time&quot; in the same menu.</extracomment>
        <translation>&amp;Iniciar temporizador</translation>
    </message>
    <message>
        <source>&amp;Stop Timer</source>
        <extracomment>The Timer menu&apos;s entry that stops the running turn (a parent&apos;s password is asked). It takes the place of &quot;&amp;Start Timer&quot; while a turn runs. &amp; marks the access key; keep it apart from the one of &quot;&amp;Set Time&quot;.</extracomment>
        <translation>&amp;Detener temporizador</translation>
    </message>
    <message>
        <source>Timer Ready!</source>
        <extracomment>In big letters in the main window while no turn runs: a turn can be started.</extracomment>
        <translation>¡Todo listo!</translation>
    </message>
    <message>
        <source>Timer Started!</source>
        <extracomment>In big letters in the main window when a turn has begun.</extracomment>
        <translation>¡En marcha!</translation>
    </message>
    <message>
        <source>Time&apos;s Up!</source>
        <extracomment>In big letters, with a horn and a red window, when a turn is over; also the text of the desktop&apos;s notice. A child reads it: short and clear.</extracomment>
        <translation>¡Se acabó!</translation>
    </message>
</context>
<context>
    <name>DesktopNotifications</name>
    <message>
        <source>the desktop was not notified: %1</source>
        <extracomment>On standard error, after the program&apos;s name and &quot;: &quot;. The desktop&apos;s notice of a time&apos;s up could not be sent; %1 says why.</extracomment>
        <translation>no se avisó al escritorio: %1</translation>
    </message>
    <message>
        <source>there is no session bus</source>
        <translation>no hay bus de sesión</translation>
    </message>
</context>
<context>
    <name>HelpTopics</name>
    <message>
        <source>TurnKeeper allows parents to control the amount of time thier kids spend on the computer. All settings are password protected.</source>
        <extracomment>Help topic &quot;General&quot;, first paragraph. The help speaks to parents, plainly and warmly, as one parent to another. TurnKeeper is the program&apos;s name: keep it.</extracomment>
        <translation>TurnKeeper permite a los padres decidir cuánto tiempo pasan sus hijos en el ordenador. Todos los ajustes están protegidos con contraseña.</translation>
    </message>
    <message>
        <source>The default password is playfairly</source>
        <extracomment>Help topic &quot;General&quot;. playfairly is the password itself: keep it exactly.</extracomment>
        <translation>Al principio, la contraseña es playfairly</translation>
    </message>
    <message>
        <source>Be sure to change this password as soon as possible to prevent little ones from  hacking the timer!</source>
        <extracomment>Help topic &quot;General&quot;: a friendly warning, with a wink.</extracomment>
        <translation>¡Cambia esta contraseña cuanto antes para que los pequeños no puedan piratear el temporizador!</translation>
    </message>
    <message>
        <source>The timer settings are password protected.  The timer can be set anywhere from 1 minute to 3600 minutes(6 hours).</source>
        <extracomment>Help topic &quot;The Timer&quot;. 3600 minutes are 60 hours: the English &quot;6 hours&quot; is a typing mistake; write 60 hours.</extracomment>
        <translation>Los ajustes del temporizador están protegidos con contraseña. El temporizador se puede poner desde 1 minuto hasta 3600 minutos (60 horas).</translation>
    </message>
    <message>
        <source>The default time limit is 10 minutes.</source>
        <extracomment>Help topic &quot;Setting the Time&quot;.</extracomment>
        <translation>Al principio, un turno dura 10 minutos.</translation>
    </message>
    <message>
        <source>To change the time limit, go to the Timer menu and select &apos;Set Timer&apos;.  Use the up/down arrows to set the desired time and press the OK button.</source>
        <extracomment>Help topic &quot;Setting the Time&quot;. &apos;Set Timer&apos; is the Timer menu&apos;s entry &quot;&amp;Set Time&quot;: name it as it reads in the translated menu, without the &amp;.</extracomment>
        <translation>Para cambiar el tiempo, ve al menú «Temporizador» y elige «Ajustar tiempo». Pon el tiempo que quieras con las flechas arriba y abajo y pulsa el botón Aceptar.</translation>
    </message>
    <message>
        <source>TO START THE TIMER</source>
        <extracomment>Help topic &quot;Start/Stop the Timer&quot;: a heading, in capitals.</extracomment>
        <translation>PARA INICIAR EL TEMPORIZADOR</translation>
    </message>
    <message>
        <source>From the Timer menu, select &apos;Start Timer&apos; and the timer will begin.</source>
        <extracomment>Help topic &quot;Start/Stop the Timer&quot;. Name the menu and its entry &quot;&amp;Start Timer&quot; as they read in the translated menu, without the &amp;.</extracomment>
        <translation>En el menú «Temporizador», elige «Iniciar temporizador» y el temporizador empezará.</translation>
    </message>
    <message>
        <source>TO STOP THE TIMER</source>
        <extracomment>Help topic &quot;Start/Stop the Timer&quot;: a heading, in capitals.</extracomment>
        <translation>PARA DETENER EL TEMPORIZADOR</translation>
    </message>
    <message>
        <source>From the Timer menu, select &apos;Stop Timer&apos; and the timer will stop.</source>
        <extracomment>Help topic &quot;Start/Stop the Timer&quot;. Name the menu and its entry &quot;&amp;Stop Timer&quot; as they read in the translated menu, without the &amp;.</extracomment>
        <translation>En el menú «Temporizador», elige «Detener temporizador» y el temporizador se parará.</translation>
    </message>
    <message>
        <source>All settings are password protected to prevent kids from stopping the timer or changing the timer length.</source>
        <extracomment>Help topic &quot;Security&quot;.</extracomment>
        <translation>Todos los ajustes están protegidos con contraseña para que los niños no puedan detener el temporizador ni cambiar su duración.</translation>
    </message>
    <message>
        <source>See &apos;Changing the Password&apos; in this help file for directions on setting the password</source>
        <extracomment>Help topic &quot;Security&quot;. &apos;Changing the Password&apos; is the help topic of that name: name it as it reads in the translated list of topics.</extracomment>
        <translation>Para saber cómo poner la contraseña, mira «Cambiar la contraseña» en esta ayuda</translation>
    </message>
    <message>
        <source>The default password is &apos;playfairly&apos;.</source>
        <extracomment>Help topic &quot;Changing the Password&quot;. playfairly is the password: keep it exactly.</extracomment>
        <translation>Al principio, la contraseña es «playfairly».</translation>
    </message>
    <message>
        <source>To change the password, go to the Parents menu and select &apos;Security&apos;.  Enter the new password in both text boxes to verify.  Next, press the OK button.</source>
        <extracomment>Help topic &quot;Changing the Password&quot;. Name the Parents menu and its entry &quot;&amp;Security&quot; as they read in the translated menu, without the &amp;.</extracomment>
        <translation>Para cambiar la contraseña, ve al menú «Padres» y elige «Seguridad». Escribe la nueva contraseña en los dos cuadros de texto para comprobarla. Después, pulsa el botón Aceptar.</translation>
    </message>
    <message>
        <source>By Rowan Ashdale</source>
        <extracomment>Help topic &quot;About TurnKeeper&quot;: the author&apos;s line. Keep the name as it is.</extracomment>
        <translation>Por Rowan Ashdale</translation>
    </message>
    <message>
        <source>This product was developed out of personal necessity.  My three daughters fight over computer time and this seamed to be the only feasible solution.  I hope you enjoy this application as our family has.</source>
        <extracomment>Help topic &quot;About TurnKeeper&quot;: the author speaks of their own family, in the first person, warmly.</extracomment>
        <translation>Este programa nació de una necesidad de verdad. Mis tres hijas se pelean por el tiempo de ordenador y esta parecía la única solución que funciona. Espero que os guste tanto como a nuestra familia.</translation>
    </message>
    <message>
        <source>              - Enjoy!</source>
        <extracomment>Help topic &quot;About TurnKeeper&quot;: the closing wish, set off to the right by the blanks before it; keep them.</extracomment>
        <translation>              - ¡Que lo disfrutéis!</translation>
    </message>
</context>
<context>
    <name>SettingsStore</name>
    <message>
        <source>MaxTime</source>
        <extracomment>What could not be saved, in &quot;%1 could not be saved in %2: %3.&quot;: the length of a turn (the English names the settings file&apos;s key).</extracomment>
        <translation>la duración de un turno</translation>
    </message>
    <message>
        <source>Password</source>
        <extracomment>What could not be saved, in &quot;%1 could not be saved in %2: %3.&quot;: the parent password (the English names the settings file&apos;s key).</extracomment>
        <translation>la contraseña</translation>
    </message>
    <message>
        <source>it begins with an invisible character (U+FEFF) that a settings file drops</source>
        <extracomment>Why a text cannot be saved (%3 of &quot;%1 could not be saved in %2: %3.&quot;, or %1 of &quot;This name cannot be kept: %1.&quot;). &quot;it&quot; is the text typed.</extracomment>
        <translation>el texto empieza con un carácter invisible (U+FEFF) que un archivo de ajustes pierde</translation>
    </message>
    <message>
        <source>it holds a broken character that a settings file cannot keep</source>
        <extracomment>Why a text cannot be saved; &quot;it&quot; is the text typed.</extracomment>
        <translation>el texto contiene un carácter roto que un archivo de ajustes no puede guardar</translation>
    </message>
    <message>
        <source>%1 could not be saved in %2: %3.</source>
        <extracomment>A message when a save fails. %1 is what was saved (the children&apos;s names, the password, the length of a turn...: a text of its own, translated to fit here), %2 the settings file&apos;s path, %3 why (a text beginning &quot;the ...&quot;).</extracomment>
        <translation>No fue posible guardar %1 en %2: %3.</translation>
    </message>
    <message>
        <source>the file cannot be written</source>
        <extracomment>Why a save failed (%3 of &quot;%1 could not be saved in %2: %3.&quot;).</extracomment>
        <translation>no se puede escribir el archivo</translation>
    </message>
    <message>
        <source>the folder cannot be created</source>
        <extracomment>Why a save failed (%3 of &quot;%1 could not be saved in %2: %3.&quot;).</extracomment>
        <translation>no se puede crear la carpeta</translation>
    </message>
    <message>
        <source>another copy of the program is saving it</source>
        <translation>otra copia del programa está guardando</translation>
    </message>
    <message>
        <source>the file was not written completely; the disk may be full</source>
        <extracomment>Why a save failed (%3 of &quot;%1 could not be saved in %2: %3.&quot;).</extracomment>
        <translation>el archivo no se escribió entero; puede que el disco esté lleno</translation>
    </message>
</context>
<context>
    <name>SystemLock</name>
    <message>
        <source>%1 cannot be read, so no password opens the lock</source>
        <extracomment>On standard error (after the program&apos;s name and &quot;: &quot;), for a parent or an administrator. %1 is the path of the administrator&apos;s lock file.</extracomment>
        <translation>%1 no se puede leer, así que ninguna contraseña abre el bloqueo</translation>
    </message>
    <message>
        <source>%1 locks the program, but its %2 is missing or damaged, so no password opens the lock</source>
        <extracomment>On standard error. %1 is the path of the administrator&apos;s lock file, %2 the name of its key PasswordHash (keep it as it is).</extracomment>
        <translation>%1 bloquea el programa, pero su %2 falta o está dañado, así que ninguna contraseña abre el bloqueo</translation>
    </message>
    <message>
        <source>warning: %1 or its folder can be changed by this user, so its lock locks nothing; only root should be able to write them</source>
        <extracomment>On standard error. %1 is the path of the administrator&apos;s lock file.</extracomment>
        <translation>aviso: este usuario puede cambiar %1 o su carpeta, así que su bloqueo no bloquea nada; solo root debería poder modificarlos</translation>
    </message>
    <message>
        <source>only the guard can read %1, so without it no password opens the lock</source>
        <extracomment>On standard error. %1 is the path of the file with the administrator&apos;s password hash, which only root can read.</extracomment>
        <translation>solo el guardián puede leer %1, así que sin él ninguna contraseña abre el bloqueo</translation>
    </message>
</context>
<context>
    <name>TurnFigures</name>
    <message>
        <source>Everyone</source>
        <extracomment>In the Turns window&apos;s chart: the turns taken while no children&apos;s names were entered, or without a name.</extracomment>
        <translation>Todos</translation>
    </message>
</context>
<context>
    <name>TurnLog</name>
    <message>
        <source>turns are not recorded: the SQLite driver of Qt SQL is not installed.</source>
        <extracomment>On standard error, after the program&apos;s name and &quot;: &quot;. The record of turns is the database behind Parents &gt; Turns.</extracomment>
        <translation>los turnos no se registran: el controlador SQLite de Qt SQL no está instalado.</translation>
    </message>
    <message>
        <source>turns are not recorded: the folder %1 cannot be made.</source>
        <extracomment>On standard error. %1 is a folder&apos;s path.</extracomment>
        <translation>los turnos no se registran: no se puede crear la carpeta %1.</translation>
    </message>
    <message>
        <source>turns are not recorded: %1 cannot be made (%2).</source>
        <extracomment>On standard error. %1 is the database file&apos;s path, %2 the database&apos;s own reason.</extracomment>
        <translation>los turnos no se registran: no se puede crear %1 (%2).</translation>
    </message>
    <message>
        <source>turns are not recorded: %1 cannot be used (%2) nor moved aside.</source>
        <extracomment>On standard error. %1 is the database file&apos;s path, %2 why it cannot be used.</extracomment>
        <translation>los turnos no se registran: %1 no se puede usar (%2) ni apartar.</translation>
    </message>
    <message>
        <source>the record of turns %1 cannot be used (%2) and was moved aside as %3, but no new one can be made (%4): turns are not recorded.</source>
        <extracomment>On standard error. %1 is the database file&apos;s path, %2 why it cannot be used, %3 the name it was moved to, %4 why a new one cannot be made.</extracomment>
        <translation>el registro de turnos %1 no se puede usar (%2) y se apartó como %3, pero no se puede crear uno nuevo (%4): los turnos no se registran.</translation>
    </message>
    <message>
        <source>the record of turns %1 cannot be used (%2); it is kept as %3 and a new one started.</source>
        <extracomment>On standard error. %1 is the database file&apos;s path, %2 why it cannot be used, %3 the name it is kept under.</extracomment>
        <translation>el registro de turnos %1 no se puede usar (%2); se guarda como %3 y se ha empezado uno nuevo.</translation>
    </message>
    <message>
        <source>its check finds: %1</source>
        <extracomment>Why the record of turns cannot be used (%2 above); &quot;it&quot; is the database file. %1 is what SQLite&apos;s check reports.</extracomment>
        <translation>su comprobación indica: %1</translation>
    </message>
    <message>
        <source>it was written by a newer version of the program (layout %1)</source>
        <extracomment>Why the record of turns cannot be used; %1 is a number.</extracomment>
        <translation>lo escribió una versión más nueva del programa (formato %1)</translation>
    </message>
    <message>
        <source>it holds something other than turns</source>
        <extracomment>Why the record of turns cannot be used; &quot;it&quot; is the database file.</extracomment>
        <translation>contiene algo que no son turnos</translation>
    </message>
    <message>
        <source>it does not hold turns as this program keeps them</source>
        <extracomment>Why the record of turns cannot be used; &quot;it&quot; is the database file.</extracomment>
        <translation>no contiene los turnos como los guarda este programa</translation>
    </message>
    <message>
        <source>it cannot keep a write-ahead log</source>
        <extracomment>Why the record of turns cannot be used; &quot;it&quot; is the database file. A write-ahead log is SQLite&apos;s journal_mode=WAL.</extracomment>
        <translation>no puede llevar un registro de escritura anticipada (WAL)</translation>
    </message>
    <message>
        <source>a turn could not be recorded in %1: %2</source>
        <extracomment>On standard error. %1 is the database file&apos;s path, %2 the database&apos;s reason.</extracomment>
        <translation>no se pudo registrar un turno en %1: %2</translation>
    </message>
</context>
<context>
    <name>TurnRecord</name>
    <message>
        <source>The running turn</source>
        <extracomment>What could not be saved, in &quot;%1 could not be saved in %2: %3.&quot;: the turn that runs now, kept so that it outlives the program.</extracomment>
        <translation>el turno en curso</translation>
    </message>
    <message>
        <source>The end of the turn</source>
        <extracomment>What could not be saved, in &quot;%1 could not be saved in %2: %3.&quot;: that the turn is over.</extracomment>
        <translation>el final del turno</translation>
    </message>
</context>
<context>
    <name>TurnsChart</name>
    <message>
        <source>Minutes per day</source>
        <extracomment>Accessible name (read by screen readers) of the chart in the Turns window.</extracomment>
        <translation>Minutos por día</translation>
    </message>
    <message>
        <source>Today</source>
        <extracomment>Under the chart&apos;s last group of bars, in place of the day&apos;s name and date.</extracomment>
        <translation>Hoy</translation>
    </message>
    <message>
        <source>%1 %2 minutes</source>
        <extracomment>Read by screen readers, describing the chart: %1 is a child&apos;s name (or &quot;Everyone&quot;), %2 the minutes that child had today (&quot;Ann 12.5 minutes&quot;).</extracomment>
        <translation>%1 %2 minutos</translation>
    </message>
    <message>
        <source>No turns today.</source>
        <translation>Hoy todavía no hay turnos.</translation>
    </message>
    <message>
        <source>Today: %1.</source>
        <translation>Hoy: %1.</translation>
    </message>
    <message>
        <source>Minutes</source>
        <extracomment>Above the chart&apos;s axis of values: the unit.</extracomment>
        <translation>Minutos</translation>
    </message>
</context>
<context>
    <name>UiService</name>
    <message>
        <source>Set a timer to settle disagreements between your kids!!</source>
        <extracomment>The program&apos;s one-line description, under its name in the About window and in the desktop&apos;s menus: cheerful, for parents.</extracomment>
        <translation>¡Pon un temporizador y acaba con las peleas entre tus hijos!</translation>
    </message>
    <message>
        <source>%1 is silent: %2</source>
        <extracomment>On standard error, after the program&apos;s name and &quot;: &quot;. %1 is a sound file&apos;s name (horn.wav), %2 why it cannot be heard.</extracomment>
        <translation>%1 no suena: %2</translation>
    </message>
    <message>
        <source>it cannot be played</source>
        <extracomment>Why a sound cannot be heard (%2 of &quot;%1 is silent: %2&quot;).</extracomment>
        <translation>el archivo no se puede reproducir</translation>
    </message>
    <message>
        <source>there is no audio output (no sound server answers)</source>
        <extracomment>Why a sound cannot be heard (%2 of &quot;%1 is silent: %2&quot;).</extracomment>
        <translation>no hay salida de audio (ningún servidor de sonido responde)</translation>
    </message>
    <message>
        <source>the sound module cannot be loaded (%1)</source>
        <extracomment>Why a sound cannot be heard (%2 of &quot;%1 is silent: %2&quot;); %1 here is what the system said, or the folders searched.</extracomment>
        <translation>no se puede cargar el módulo de sonido (%1)</translation>
    </message>
</context>
<context>
    <name>UpDown</name>
    <message>
        <source>Up</source>
        <extracomment>Accessible name (read by screen readers) of the arrow that makes the number larger.</extracomment>
        <translation>Arriba</translation>
    </message>
    <message>
        <source>Down</source>
        <extracomment>Accessible name of the arrow that makes the number smaller.</extracomment>
        <translation>Abajo</translation>
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
        <translation>&amp;Sistema...</translation>
    </message>
    <message>
        <source>Face</source>
        <extracomment>Accessible name (read by screen readers) of the program&apos;s picture, a face.</extracomment>
        <translation>Cara</translation>
    </message>
    <message>
        <source>About %1</source>
        <extracomment>The About window&apos;s title. %1 is the program&apos;s name, TurnKeeper.</extracomment>
        <translation>Acerca de %1</translation>
    </message>
    <message>
        <source>Version %1.%2.%3</source>
        <extracomment>%1.%2.%3 make the version number, as 1.0.8.</extracomment>
        <translation>Versión %1.%2.%3</translation>
    </message>
    <message>
        <source>System Information Is Unavailable At This Time</source>
        <extracomment>A message when no program can show the system information.</extracomment>
        <translation>La información del sistema no está disponible ahora mismo.</translation>
    </message>
</context>
<context>
    <name>frmChildren</name>
    <message>
        <source>Children</source>
        <extracomment>The title of the window where a parent enters the children&apos;s first names.</extracomment>
        <translation>Niños</translation>
    </message>
    <message>
        <source>&amp;Names, in turn order:</source>
        <extracomment>Above the list of names. &amp; marks the access key.</extracomment>
        <translation>&amp;Nombres, por orden de turno:</translation>
    </message>
    <message>
        <source>Names, in turn order</source>
        <extracomment>Accessible name (read by screen readers) of the list of names.</extracomment>
        <translation>Nombres, por orden de turno</translation>
    </message>
    <message>
        <source>N&amp;ame:</source>
        <extracomment>Beside the box where a name is typed. &amp; marks the access key.</extracomment>
        <translation>No&amp;mbre:</translation>
    </message>
    <message>
        <source>Name</source>
        <extracomment>Accessible name of the box where a name is typed.</extracomment>
        <translation>Nombre</translation>
    </message>
    <message>
        <source>A&amp;dd</source>
        <extracomment>A button: adds the name typed to the list. &amp; marks the access key.</extracomment>
        <translation>&amp;Añadir</translation>
    </message>
    <message>
        <source>Add the name</source>
        <extracomment>Accessible name of the button &quot;A&amp;dd&quot;.</extracomment>
        <translation>Añadir el nombre</translation>
    </message>
    <message>
        <source>&amp;Rename</source>
        <extracomment>A button: gives the child chosen in the list the name typed. &amp; marks the access key.</extracomment>
        <translation>&amp;Renombrar</translation>
    </message>
    <message>
        <source>Rename the chosen child</source>
        <extracomment>Accessible name of the button &quot;&amp;Rename&quot;.</extracomment>
        <translation>Cambiar el nombre del niño elegido</translation>
    </message>
    <message>
        <source>Re&amp;move</source>
        <extracomment>A button: takes the child chosen off the list. &amp; marks the access key.</extracomment>
        <translation>&amp;Quitar</translation>
    </message>
    <message>
        <source>Remove the chosen child</source>
        <extracomment>Accessible name of the button &quot;Re&amp;move&quot;.</extracomment>
        <translation>Quitar al niño elegido</translation>
    </message>
    <message>
        <source>Move &amp;Up</source>
        <extracomment>A button: moves the child chosen one place earlier in turn order. &amp; marks the access key.</extracomment>
        <translation>S&amp;ubir</translation>
    </message>
    <message>
        <source>Move the chosen child up</source>
        <extracomment>Accessible name of the button &quot;Move &amp;Up&quot;.</extracomment>
        <translation>Subir al niño elegido</translation>
    </message>
    <message>
        <source>Move Do&amp;wn</source>
        <extracomment>A button: moves the child chosen one place later in turn order. &amp; marks the access key.</extracomment>
        <translation>&amp;Bajar</translation>
    </message>
    <message>
        <source>Move the chosen child down</source>
        <extracomment>Accessible name of the button &quot;Move Do&amp;wn&quot;.</extracomment>
        <translation>Bajar al niño elegido</translation>
    </message>
    <message>
        <source>Ne&amp;xt Turn</source>
        <extracomment>A button: the child chosen has the next turn. &amp; marks the access key.</extracomment>
        <translation>&amp;Siguiente turno</translation>
    </message>
    <message>
        <source>Give the chosen child the next turn</source>
        <extracomment>Accessible name of the button &quot;Ne&amp;xt Turn&quot;.</extracomment>
        <translation>Dar el siguiente turno al niño elegido</translation>
    </message>
    <message>
        <source>OK</source>
        <extracomment>Keeps the names as they are now in the window.</extracomment>
        <translation>Aceptar</translation>
    </message>
    <message>
        <source>Cancel</source>
        <extracomment>Closes the window, keeping the names as they were.</extracomment>
        <translation>Cancelar</translation>
    </message>
    <message>
        <source>No names: the turns belong to no one.</source>
        <extracomment>Under the list when it is empty: without names the timer counts for anyone.</extracomment>
        <translation>Sin nombres: los turnos no son de nadie.</translation>
    </message>
    <message>
        <source>The administrator&apos;s lock sets these names and their order.</source>
        <extracomment>In the Children window, under a lock an administrator set for every account of the computer: the names and their order are the lock&apos;s, and cannot be changed here.</extracomment>
        <translation>Estos nombres y su orden los pone el bloqueo del administrador.</translation>
    </message>
</context>
<context>
    <name>frmFamilyRules</name>
    <message>
        <source>Family Rules</source>
        <extracomment>The title of the window where a parent sets the rules the lock keeps on every account of the computer.</extracomment>
        <translation>Normas de la familia</translation>
    </message>
    <message>
        <source>&amp;Keep these rules on every account of this computer</source>
        <extracomment>A check box: whether the lock stands, with the rules below and the parent password, on every account. &amp; marks the access key.</extracomment>
        <translation>Aplicar estas normas en &amp;todas las cuentas de este ordenador</translation>
    </message>
    <message>
        <source>Turn length, in minutes</source>
        <extracomment>Accessible name (read by screen readers) of the turn&apos;s length.</extracomment>
        <translation>Duración de un turno, en minutos</translation>
    </message>
    <message>
        <source>Turn &amp;length, in minutes:</source>
        <extracomment>Beside the box with the length of every turn. &amp; marks the access key.</extracomment>
        <translation>&amp;Duración de un turno, en minutos:</translation>
    </message>
    <message>
        <source>Break after a time&apos;s up, in minutes</source>
        <extracomment>Accessible name of the break&apos;s box.</extracomment>
        <translation>Descanso al acabarse el tiempo, en minutos</translation>
    </message>
    <message>
        <source>None</source>
        <extracomment>In the break&apos;s box when it holds 0: no break after a time&apos;s up.</extracomment>
        <translation>Ninguno</translation>
    </message>
    <message>
        <source>&amp;Break after a time&apos;s up, in minutes:</source>
        <extracomment>Beside the box with the minutes before the next turn may start after a time&apos;s up. &amp; marks the access key.</extracomment>
        <translation>D&amp;escanso al acabarse el tiempo, en minutos:</translation>
    </message>
    <message>
        <source>Lock the desktop &amp;outside turns</source>
        <extracomment>A check box: the accounts named below are locked whenever no turn runs. &amp; marks the access key.</extracomment>
        <translation>&amp;Bloquear el escritorio fuera de los turnos</translation>
    </message>
    <message>
        <source>Accounts locked outside turns, apart by commas</source>
        <extracomment>Accessible name of the box of accounts locked outside turns.</extracomment>
        <translation>Cuentas bloqueadas fuera de los turnos, separadas por comas</translation>
    </message>
    <message>
        <source>A&amp;ccounts locked outside turns, apart by commas:</source>
        <extracomment>Above the box where the computer&apos;s accounts (their login names) are typed, such as &quot;ann, ben&quot;. &amp; marks the access key.</extracomment>
        <translation>&amp;Cuentas bloqueadas fuera de los turnos, separadas por comas:</translation>
    </message>
    <message>
        <source>Children, in turn order</source>
        <extracomment>Accessible name of the list of children, with each one&apos;s time a day.</extracomment>
        <translation>Niños, por orden de turno</translation>
    </message>
    <message>
        <source>Child</source>
        <extracomment>A column&apos;s heading: the child&apos;s name.</extracomment>
        <translation>Niño</translation>
    </message>
    <message>
        <source>Minutes a day</source>
        <extracomment>A column&apos;s heading: how many minutes of turns the child may have a day.</extracomment>
        <translation>Minutos al día</translation>
    </message>
    <message>
        <source>Minutes today</source>
        <extracomment>A column&apos;s heading: how many minutes of turns the child has had today.</extracomment>
        <translation>Minutos hoy</translation>
    </message>
    <message>
        <source>Columns of the children</source>
        <extracomment>Accessible name of the list&apos;s row of column headings.</extracomment>
        <translation>Columnas de la lista de niños</translation>
    </message>
    <message>
        <source>C&amp;hildren, in turn order:</source>
        <extracomment>Above the list of children. &amp; marks the access key.</extracomment>
        <translation>&amp;Niños, por orden de turno:</translation>
    </message>
    <message>
        <source>Move &amp;Up</source>
        <extracomment>A button: moves the child chosen one place earlier in turn order. &amp; marks the access key.</extracomment>
        <translation>S&amp;ubir</translation>
    </message>
    <message>
        <source>Move the chosen child up</source>
        <extracomment>Accessible name of the button &quot;Move &amp;Up&quot;.</extracomment>
        <translation>Subir al niño elegido</translation>
    </message>
    <message>
        <source>Move Do&amp;wn</source>
        <extracomment>A button: moves the child chosen one place later in turn order. &amp; marks the access key.</extracomment>
        <translation>Ba&amp;jar</translation>
    </message>
    <message>
        <source>Move the chosen child down</source>
        <extracomment>Accessible name of the button &quot;Move Do&amp;wn&quot;.</extracomment>
        <translation>Bajar al niño elegido</translation>
    </message>
    <message>
        <source>Re&amp;move</source>
        <extracomment>A button: takes the child chosen off the list. &amp; marks the access key.</extracomment>
        <translation>&amp;Quitar</translation>
    </message>
    <message>
        <source>Remove the chosen child</source>
        <extracomment>Accessible name of the button &quot;Re&amp;move&quot;.</extracomment>
        <translation>Quitar al niño elegido</translation>
    </message>
    <message>
        <source>Time a day for the chosen child, in minutes</source>
        <extracomment>Accessible name of the box of the chosen child&apos;s time a day.</extracomment>
        <translation>Tiempo al día para el niño elegido, en minutos</translation>
    </message>
    <message>
        <source>No limit</source>
        <extracomment>In the box of a child&apos;s time a day, and in the list, for 0: the child may have turns all day long.</extracomment>
        <translation>Sin límite</translation>
    </message>
    <message>
        <source>&amp;Time a day for the chosen child, in minutes:</source>
        <extracomment>Beside the box with the minutes of turns the child chosen in the list may have a day. &amp; marks the access key.</extracomment>
        <translation>Tie&amp;mpo al día para el niño elegido, en minutos:</translation>
    </message>
    <message>
        <source>Name of a new child</source>
        <extracomment>Accessible name of the box where a new child&apos;s name is typed.</extracomment>
        <translation>Nombre de un niño nuevo</translation>
    </message>
    <message>
        <source>&amp;Name of a new child:</source>
        <extracomment>Beside the box where a new child&apos;s name is typed. &amp; marks the access key.</extracomment>
        <translation>N&amp;ombre de un niño nuevo:</translation>
    </message>
    <message>
        <source>A&amp;dd</source>
        <extracomment>A button: adds the child whose name is typed to the end of the list. &amp; marks the access key.</extracomment>
        <translation>&amp;Añadir</translation>
    </message>
    <message>
        <source>Add the child</source>
        <extracomment>Accessible name of the button &quot;A&amp;dd&quot;.</extracomment>
        <translation>Añadir al niño</translation>
    </message>
    <message>
        <source>New parent password</source>
        <extracomment>Accessible name of the box for a new parent password.</extracomment>
        <translation>Nueva contraseña de los padres</translation>
    </message>
    <message>
        <source>New parent &amp;password:</source>
        <extracomment>Beside the box for a new parent password. &amp; marks the access key.</extracomment>
        <translation>Nueva contraseña de los &amp;padres:</translation>
    </message>
    <message>
        <source>Verify the new password</source>
        <extracomment>Accessible name of the box where the new password is typed a second time, to check it.</extracomment>
        <translation>Confirmar la nueva contraseña</translation>
    </message>
    <message>
        <source>&amp;Verify the new password:</source>
        <extracomment>Beside the box where the new password is typed a second time, to check it. &amp; marks the access key.</extracomment>
        <translation>Con&amp;firmar la nueva contraseña:</translation>
    </message>
    <message>
        <source>Leave both empty to keep the password in force.</source>
        <extracomment>Under the two password boxes.</extracomment>
        <translation>Deja los dos cuadros vacíos para mantener la contraseña actual.</translation>
    </message>
    <message>
        <source>OK</source>
        <extracomment>Keeps the rules as they are now in the window.</extracomment>
        <translation>Aceptar</translation>
    </message>
    <message>
        <source>Cancel</source>
        <extracomment>Closes the window, keeping the rules as they were.</extracomment>
        <translation>Cancelar</translation>
    </message>
    <message>
        <source>A name in the family rules cannot hold , ; = # &quot; or \.</source>
        <extracomment>A message when a child&apos;s name holds a character the lock&apos;s file cannot keep in a name. Keep the characters as they are.</extracomment>
        <translation>En las normas de la familia, un nombre no puede llevar , ; = # &quot; ni \.</translation>
    </message>
    <message>
        <source>At most %1 children can take turns.</source>
        <extracomment>A message when a parent adds a child to a full list. %1 is the number (32).</extracomment>
        <translation>Como mucho pueden turnarse %1 niños.</translation>
    </message>
    <message>
        <source>The two passwords differ. Type the new password the same way in both boxes.</source>
        <extracomment>A message when the new password and its second typing differ.</extracomment>
        <translation>Las dos contraseñas no son iguales. Escribe la nueva contraseña igual en los dos cuadros.</translation>
    </message>
    <message>
        <source>A new lock needs a parent password. Type it in both boxes.</source>
        <extracomment>A message when a parent sets the lock where none stood, without a password.</extracomment>
        <translation>Un bloqueo nuevo necesita una contraseña de los padres. Escríbela en los dos cuadros.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not the name of an account: such a name holds only letters a to z, digits, _, . and -, and begins with a letter or _.</source>
        <extracomment>A message when a text typed among the accounts cannot be an account&apos;s name (a login name such as &quot;ann&quot;). %1 is that text.</extracomment>
        <translation>«%1» no es el nombre de una cuenta: un nombre así solo lleva letras de la a a la z, cifras, _, . y -, y empieza por una letra o _.</translation>
    </message>
    <message>
        <source>Name at least one account to lock outside turns.</source>
        <extracomment>A message when the desktop is to be locked outside turns but no account is named.</extracomment>
        <translation>Indica al menos una cuenta que bloquear fuera de los turnos.</translation>
    </message>
    <message>
        <source>These rules cannot be kept: %1.</source>
        <extracomment>A message when the rules break a rule of the lock&apos;s file that the window does not check itself. %1 says which, in English.</extracomment>
        <translation>Estas normas no pueden aplicarse: %1.</translation>
    </message>
</context>
<context>
    <name>frmHelp</name>
    <message>
        <source>General</source>
        <extracomment>A help topic in the list of topics, and its heading.</extracomment>
        <translation>General</translation>
    </message>
    <message>
        <source>The Timer</source>
        <extracomment>A help topic (about the timer&apos;s settings), and its heading.</extracomment>
        <translation>El temporizador</translation>
    </message>
    <message>
        <source>Setting the Time</source>
        <extracomment>A help topic under &quot;The Timer&quot;: how to choose the length of a turn.</extracomment>
        <translation>Ajustar el tiempo</translation>
    </message>
    <message>
        <source>Start/Stop the Timer</source>
        <extracomment>A help topic under &quot;The Timer&quot;: how to start and stop it.</extracomment>
        <translation>Iniciar/Detener</translation>
    </message>
    <message>
        <source>Security</source>
        <extracomment>A help topic: the password and what it protects.</extracomment>
        <translation>Seguridad</translation>
    </message>
    <message>
        <source>Changing the Password</source>
        <extracomment>A help topic under &quot;Security&quot;. The topic &quot;Security&quot; names it in its text.</extracomment>
        <translation>Cambiar la contraseña</translation>
    </message>
    <message>
        <source>About TurnKeeper</source>
        <extracomment>A help topic about the program and its author. TurnKeeper is the program&apos;s name.</extracomment>
        <translation>Acerca de TurnKeeper</translation>
    </message>
    <message>
        <source>TurnKeeper Help</source>
        <extracomment>The help window&apos;s title. TurnKeeper is the program&apos;s name.</extracomment>
        <translation>Ayuda de TurnKeeper</translation>
    </message>
    <message>
        <source>OK</source>
        <extracomment>The button that closes the help window.</extracomment>
        <translation>OK</translation>
    </message>
    <message>
        <source>Select A Topic :</source>
        <extracomment>Above the list of help topics.</extracomment>
        <translation>Elige un tema:</translation>
    </message>
    <message>
        <source>Topics</source>
        <extracomment>Accessible name (read by screen readers) of the list of help topics.</extracomment>
        <translation>Temas</translation>
    </message>
</context>
<context>
    <name>frmLogin</name>
    <message>
        <source>TurnKeeper Security</source>
        <extracomment>The title of the small window that asks for the parent password. TurnKeeper is the program&apos;s name.</extracomment>
        <translation>Seguridad de TurnKeeper</translation>
    </message>
    <message>
        <source>Enter Password:</source>
        <extracomment>Above the box where a parent types the password.</extracomment>
        <translation>Contraseña:</translation>
    </message>
    <message>
        <source>OK</source>
        <extracomment>Checks the password typed.</extracomment>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <extracomment>Closes the window without a password.</extracomment>
        <translation>Volver</translation>
    </message>
    <message>
        <source>Login Failed: Invalid Password</source>
        <extracomment>A message when the password typed is wrong.</extracomment>
        <translation>Contraseña incorrecta.</translation>
    </message>
    <message>
        <source>%1 Login</source>
        <extracomment>The title of that message. %1 is the program&apos;s name (TurnKeeper).</extracomment>
        <translation>Entrar en %1</translation>
    </message>
    <message>
        <source>Too many wrong passwords. Wait a little and try again.</source>
        <extracomment>Said when wrong passwords came too fast and the next try must wait.</extracomment>
        <translation>Demasiadas contraseñas incorrectas. Espera un poco y vuelve a intentarlo.</translation>
    </message>
</context>
<context>
    <name>frmMain</name>
    <message>
        <source>Time left</source>
        <extracomment>Accessible name (read by screen readers) of the bar that fills as a turn runs.</extracomment>
        <translation>Tiempo restante</translation>
    </message>
    <message>
        <source>Pa&amp;rents</source>
        <extracomment>The menu of what parents do, behind their password. &amp; marks the access key; keep it apart from those of &quot;&amp;Timer&quot; and &quot;&amp;Help&quot;.</extracomment>
        <translation>&amp;Padres</translation>
    </message>
    <message>
        <source>&amp;Security</source>
        <extracomment>Parents menu: opens the window that changes the parent password.</extracomment>
        <translation>&amp;Seguridad</translation>
    </message>
    <message>
        <source>&amp;Children...</source>
        <extracomment>Parents menu: opens the window with the children&apos;s names, in turn order.</extracomment>
        <translation>&amp;Niños...</translation>
    </message>
    <message>
        <source>T&amp;urns...</source>
        <extracomment>Parents menu: opens the record of the turns taken, with a chart.</extracomment>
        <translation>&amp;Turnos...</translation>
    </message>
    <message>
        <source>&amp;Exit</source>
        <extracomment>Parents menu: ends the program.</extracomment>
        <translation>Sa&amp;lir</translation>
    </message>
    <message>
        <source>&amp;Timer</source>
        <extracomment>The menu that sets, starts and stops the timer.</extracomment>
        <translation>&amp;Temporizador</translation>
    </message>
    <message>
        <source>&amp;Set Time</source>
        <extracomment>Timer menu: opens the window where a parent chooses how many minutes a turn lasts. Keep its access key apart from that of &quot;&amp;Start Timer&quot; and &quot;&amp;Stop Timer&quot;.</extracomment>
        <translation>&amp;Ajustar tiempo</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <extracomment>The help menu.</extracomment>
        <translation>&amp;Ayuda</translation>
    </message>
    <message>
        <source>&amp;Contents</source>
        <extracomment>Help menu: opens the help window with its topics.</extracomment>
        <translation>&amp;Contenido</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <extracomment>Help menu: opens the window about the program (its version, its author).</extracomment>
        <translation>&amp;Acerca de</translation>
    </message>
    <message>
        <source>Face</source>
        <extracomment>Accessible name (read by screen readers) of the picture of a plain face, shown while no turn runs.</extracomment>
        <translation>Cara</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <extracomment>On the bar while a turn runs: %1 is the name of the child whose turn it is, %2 the time left as minutes:seconds (&quot;Ann: 9:57&quot;).</extracomment>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>Smiling face</source>
        <extracomment>Accessible name of the picture while a turn runs.</extracomment>
        <translation>Cara sonriente</translation>
    </message>
    <message>
        <source>Frowning face</source>
        <extracomment>Accessible name of the picture when the time is up.</extracomment>
        <translation>Cara triste</translation>
    </message>
    <message>
        <source>Break until %1. A parent&apos;s password starts a turn now.</source>
        <extracomment>Said when Start is chosen during the break after a time&apos;s up. %1 is the time of day the break ends (&quot;14:35&quot;).</extracomment>
        <translation>Descanso hasta las %1. Con la contraseña de un adulto, el turno empieza ya.</translation>
    </message>
    <message>
        <source>The record of turns cannot be read now.</source>
        <extracomment>Said when the Turns window cannot get the record of turns from the guard.</extracomment>
        <translation>Ahora no se puede leer el registro de turnos.</translation>
    </message>
    <message>
        <source>the guard does not answer, so no turn can start until it does</source>
        <extracomment>On standard error, after the program&apos;s name and &quot;: &quot;, where the administrator&apos;s lock says the guard keeps the turn but it does not answer.</extracomment>
        <translation>el guardián no responde, así que ningún turno puede empezar hasta que responda</translation>
    </message>
    <message>
        <source>The guard does not answer, so no turn can start. Ask a parent.</source>
        <extracomment>Said when Start is chosen where the administrator&apos;s lock gives the turn to the guard (the system service that keeps it) and the guard does not answer.</extracomment>
        <translation>El guardián no responde, así que no puede empezar ningún turno. Pregunta a un adulto.</translation>
    </message>
    <message>
        <source>The parent lock is off: this window keeps the turn again.</source>
        <extracomment>Said when the administrator lifts the lock while the program runs: from now on the window keeps the turn itself, as it does without the lock.</extracomment>
        <translation>El bloqueo parental está desactivado: esta ventana vuelve a llevar el turno.</translation>
    </message>
</context>
<context>
    <name>frmPasswords</name>
    <message>
        <source>Modify Security Settings</source>
        <extracomment>The title of the window where a parent changes the password.</extracomment>
        <translation>Ajustes de seguridad</translation>
    </message>
    <message>
        <source>Password</source>
        <extracomment>The frame around the three password boxes.</extracomment>
        <translation>Contraseña</translation>
    </message>
    <message>
        <source>Current Password:</source>
        <extracomment>Above the box that shows the password in use now.</extracomment>
        <translation>Actual:</translation>
    </message>
    <message>
        <source>New Password:</source>
        <extracomment>Above the box for the new password.</extracomment>
        <translation>Nueva:</translation>
    </message>
    <message>
        <source>Verify Password:</source>
        <extracomment>Above the box where the new password is typed a second time, to check it.</extracomment>
        <translation>Repetir:</translation>
    </message>
    <message>
        <source>OK</source>
        <extracomment>Saves the new password.</extracomment>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <extracomment>Closes the window, keeping the password as it was.</extracomment>
        <translation>Volver</translation>
    </message>
    <message>
        <source>The password is set by the administrator.</source>
        <extracomment>A message when the computer&apos;s administrator has locked the password.</extracomment>
        <translation>La contraseña la pone el administrador.</translation>
    </message>
    <message>
        <source>Passwords Do Not Match.</source>
        <extracomment>A message when the new password and its second typing differ.</extracomment>
        <translation>Las contraseñas no son iguales.</translation>
    </message>
</context>
<context>
    <name>frmSetTime</name>
    <message>
        <source>Set TurnKeeper Timer</source>
        <extracomment>The title of the window where a parent chooses how long a turn lasts. TurnKeeper is the program&apos;s name.</extracomment>
        <translation>Ajustar temporizador</translation>
    </message>
    <message>
        <source>Select a timer length :</source>
        <extracomment>Beside the box with the number of minutes a turn lasts.</extracomment>
        <translation>Duración del turno:</translation>
    </message>
    <message>
        <source>(Minutes)</source>
        <extracomment>Under the number: its unit. Keep it short, the space is small.</extracomment>
        <translation>(minutos)</translation>
    </message>
    <message>
        <source>Timer length in minutes</source>
        <extracomment>Accessible name (read by screen readers) of the arrows beside the number.</extracomment>
        <translation>Duración del temporizador en minutos</translation>
    </message>
    <message>
        <source>OK</source>
        <extracomment>Keeps the length chosen.</extracomment>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <extracomment>Closes the window, keeping the length as it was.</extracomment>
        <translation>Volver</translation>
    </message>
    <message>
        <source>This must be a numeric value.</source>
        <extracomment>A message when a key other than a digit is typed into the number of minutes.</extracomment>
        <translation>Aquí tiene que ir un número.</translation>
    </message>
    <message>
        <source>This must be set lower than 3600.</source>
        <extracomment>A message when the number of minutes is too large; 3600 is the most allowed.</extracomment>
        <translation>No puede pasar de 3600.</translation>
    </message>
    <message>
        <source>This must be set greater or equal to 1.</source>
        <extracomment>A message when the number of minutes is below 1, the least allowed.</extracomment>
        <translation>Tiene que ser 1 o más.</translation>
    </message>
    <message>
        <source>Timer must be set to at least 1!</source>
        <extracomment>A message when the down arrow would go below 1 minute.</extracomment>
        <translation>¡El temporizador necesita al menos 1 minuto!</translation>
    </message>
    <message>
        <source>Timer Limit</source>
        <extracomment>The title of that message.</extracomment>
        <translation>Límite del temporizador</translation>
    </message>
    <message>
        <source>The timer length is set by the administrator.</source>
        <extracomment>A message when the computer&apos;s administrator has locked the length of a turn.</extracomment>
        <translation>La duración del temporizador la pone el administrador.</translation>
    </message>
</context>
<context>
    <name>frmTurns</name>
    <message>
        <source>Turns</source>
        <extracomment>The title of the window with the record of the turns taken.</extracomment>
        <translation>Turnos</translation>
    </message>
    <message>
        <source>Last turns</source>
        <extracomment>Accessible name (read by screen readers) of the table of the last turns.</extracomment>
        <translation>Últimos turnos</translation>
    </message>
    <message>
        <source>Child</source>
        <extracomment>A column&apos;s heading: the child whose turn it was.</extracomment>
        <translation>Niño</translation>
    </message>
    <message>
        <source>Started</source>
        <extracomment>A column&apos;s heading: the date and time the turn began.</extracomment>
        <translation>Inicio</translation>
    </message>
    <message>
        <source>Minutes</source>
        <extracomment>A column&apos;s heading: how many minutes the turn took.</extracomment>
        <translation>Minutos</translation>
    </message>
    <message>
        <source>How it ended</source>
        <extracomment>A column&apos;s heading: time&apos;s up, stopped by a parent...</extracomment>
        <translation>Cómo terminó</translation>
    </message>
    <message>
        <source>Columns of the last turns</source>
        <extracomment>Accessible name of the table&apos;s row of column headings.</extracomment>
        <translation>Columnas de los últimos turnos</translation>
    </message>
    <message>
        <source>&amp;Last turns:</source>
        <extracomment>Above the table. &amp; marks the access key; keep it apart from &quot;&amp;Export...&quot;.</extracomment>
        <translation>Últimos &amp;turnos:</translation>
    </message>
    <message>
        <source>&amp;Export...</source>
        <extracomment>A button: saves the record of turns as a CSV file (for a spreadsheet). &amp; marks the access key.</extracomment>
        <translation>&amp;Exportar...</translation>
    </message>
    <message>
        <source>Export the record of turns</source>
        <extracomment>Accessible name of the button &quot;&amp;Export...&quot;.</extracomment>
        <translation>Exportar el registro de turnos</translation>
    </message>
    <message>
        <source>Close</source>
        <extracomment>Closes the window.</extracomment>
        <translation>Cerrar</translation>
    </message>
    <message>
        <source>Running</source>
        <extracomment>How a turn ended: it has not, it still runs.</extracomment>
        <translation>En curso</translation>
    </message>
    <message>
        <source>Time&apos;s up</source>
        <extracomment>How a turn ended: its time was up.</extracomment>
        <translation>Se acabó el tiempo</translation>
    </message>
    <message>
        <source>Stopped by a parent</source>
        <extracomment>How a turn ended: a parent stopped it with the password.</extracomment>
        <translation>Detenido por los padres</translation>
    </message>
    <message>
        <source>Program ended</source>
        <extracomment>How a turn ended: the program was ended (the computer was shut down, say), and the turn went on at its next start.</extracomment>
        <translation>Programa cerrado</translation>
    </message>
    <message>
        <source>Abandoned</source>
        <extracomment>How a turn ended: the program was ended and not started again before the turn&apos;s time was over.</extracomment>
        <translation>Abandonado</translation>
    </message>
    <message>
        <source>Export Turns</source>
        <extracomment>The title of the dialog that asks where to save the record of turns.</extracomment>
        <translation>Exportar turnos</translation>
    </message>
    <message>
        <source>turns-%1.csv</source>
        <extracomment>The file name offered. %1 is today&apos;s date (2026-12-07). Letters, digits and hyphens only.</extracomment>
        <translation>turnos-%1.csv</translation>
    </message>
    <message>
        <source>CSV files (*.csv);;All files (*)</source>
        <extracomment>The kinds of files offered, separated by ;;. Translate the words only; keep (*.csv) and (*) as they are.</extracomment>
        <translation>Archivos CSV (*.csv);;Todos los archivos (*)</translation>
    </message>
    <message>
        <source>The turns could not be saved in %1: %2.</source>
        <extracomment>A message when the export fails. %1 is the file&apos;s path, %2 why.</extracomment>
        <translation>No se pudieron guardar los turnos en %1: %2.</translation>
    </message>
    <message>
        <source>Resize</source>
        <extracomment>Accessible name (read by screen readers) of the corner that resizes the window.</extracomment>
        <translation>Cambiar tamaño</translation>
    </message>
</context>
</TS>
