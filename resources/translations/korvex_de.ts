<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE" sourcelanguage="en">
<context>
    <name>Korvex</name>
    <message>
        <source>Left</source>
        <comment>TabLeft</comment>
        <translation>Links</translation>
    </message>
    <message>
        <source>Right</source>
        <comment>TabRight</comment>
        <translation>Rechts</translation>
    </message>
    <message>
        <source>Result</source>
        <comment>TabResult</comment>
        <translation>Ergebnis</translation>
    </message>
    <message>
        <source>Untitled</source>
        <comment>Untitled</comment>
        <translation>Unbenannt</translation>
    </message>
    <message>
        <source>Untitled %1</source>
        <comment>UntitledNumbered</comment>
        <translation>Unbenannt %1</translation>
    </message>
    <message>
        <source>Do you want to save the changes to this anaglyph?</source>
        <comment>CloseSave</comment>
        <translation>Möchten Sie die Änderungen an diesem Anaglyphenbild speichern?</translation>
    </message>
    <message>
        <source>Save</source>
        <comment>Save</comment>
        <translation>Speichern</translation>
    </message>
    <message>
        <source>Don't Save</source>
        <comment>DontSave</comment>
        <translation>Nicht speichern</translation>
    </message>
    <message>
        <source>Cancel</source>
        <comment>Cancel</comment>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Your changes will be lost if you don't save them.</source>
        <comment>SaveDataLoss</comment>
        <translation>Ihre Änderungen gehen verloren, wenn Sie sie nicht speichern.</translation>
    </message>
    <message>
        <source>You have %1 anaglyph documents with unsaved changes. Do you want to review them before quitting?</source>
        <comment>QuitUnsaved</comment>
        <translation>%1 Anaglyphen-Dokumente haben ungespeicherte Änderungen. Möchten Sie sie vor dem Beenden durchsehen?</translation>
    </message>
    <message>
        <source>If you don't review your documents, all your changes will be lost.</source>
        <comment>QuitDataLoss</comment>
        <translation>Wenn Sie Ihre Dokumente nicht durchsehen, gehen alle Ihre Änderungen verloren.</translation>
    </message>
    <message>
        <source>Review Changes...</source>
        <comment>Review</comment>
        <translation>Änderungen durchsehen …</translation>
    </message>
    <message>
        <source>Discard Changes</source>
        <comment>Discard</comment>
        <translation>Änderungen verwerfen</translation>
    </message>
    <message>
        <source>Open Left</source>
        <comment>OpenL</comment>
        <translation>Links öffnen</translation>
    </message>
    <message>
        <source>Open the left picture, or a stereo file for both</source>
        <comment>TBOpenL</comment>
        <translation>Das linke Bild öffnen oder eine Stereodatei für beide Bilder</translation>
    </message>
    <message>
        <source>Open Right</source>
        <comment>OpenR</comment>
        <translation>Rechts öffnen</translation>
    </message>
    <message>
        <source>Open the right picture, or a stereo file for both</source>
        <comment>TBOpenR</comment>
        <translation>Das rechte Bild öffnen oder eine Stereodatei für beide Bilder</translation>
    </message>
    <message>
        <source>Save the anaglyph</source>
        <comment>TBSave</comment>
        <translation>Das Anaglyphenbild speichern</translation>
    </message>
    <message>
        <source>Reset</source>
        <comment>Reset</comment>
        <translation>Zurücksetzen</translation>
    </message>
    <message>
        <source>Set the depth and the vertical offset back to 0</source>
        <comment>TBReset</comment>
        <translation>Tiefe und vertikalen Versatz auf 0 zurücksetzen</translation>
    </message>
    <message>
        <source>Bigger</source>
        <comment>IncDepth</comment>
        <translation>Mehr Tiefe</translation>
    </message>
    <message>
        <source>More depth: move the right picture to the right (Shift: 5 pixels)</source>
        <comment>TBIncDepth</comment>
        <translation>Mehr Tiefe: das rechte Bild nach rechts verschieben (Umschalt: 5 Pixel)</translation>
    </message>
    <message>
        <source>Smaller</source>
        <comment>DecDepth</comment>
        <translation>Weniger Tiefe</translation>
    </message>
    <message>
        <source>Less depth: move the right picture to the left (Shift: 5 pixels)</source>
        <comment>TBDecDepth</comment>
        <translation>Weniger Tiefe: das rechte Bild nach links verschieben (Umschalt: 5 Pixel)</translation>
    </message>
    <message>
        <source>Up</source>
        <comment>IncVOff</comment>
        <translation>Hoch</translation>
    </message>
    <message>
        <source>Move the left picture up against the right one (Shift: 5 pixels)</source>
        <comment>TBIncVOff</comment>
        <translation>Das linke Bild gegenüber dem rechten nach oben verschieben (Umschalt: 5 Pixel)</translation>
    </message>
    <message>
        <source>Down</source>
        <comment>DecVOff</comment>
        <translation>Runter</translation>
    </message>
    <message>
        <source>Move the left picture down against the right one (Shift: 5 pixels)</source>
        <comment>TBDecVOff</comment>
        <translation>Das linke Bild gegenüber dem rechten nach unten verschieben (Umschalt: 5 Pixel)</translation>
    </message>
    <message>
        <source>Glasses</source>
        <comment>Glasses</comment>
        <translation>Brille</translation>
    </message>
    <message>
        <source>Switch to the next kind of glasses</source>
        <comment>TBGlasses</comment>
        <translation>Zur nächsten Brillenart wechseln</translation>
    </message>
    <message>
        <source>Colour</source>
        <comment>Color</comment>
        <translation>Farbe</translation>
    </message>
    <message>
        <source>Switch between colour and black and white</source>
        <comment>TBColor</comment>
        <translation>Zwischen Farbe und Schwarzweiß wechseln</translation>
    </message>
    <message>
        <source>Method</source>
        <comment>Method</comment>
        <translation>Verfahren</translation>
    </message>
    <message>
        <source>Switch to the next anaglyph method</source>
        <comment>TBMethod</comment>
        <translation>Zum nächsten Anaglyphenverfahren wechseln</translation>
    </message>
    <message>
        <source>Swap</source>
        <comment>Swap</comment>
        <translation>Tauschen</translation>
    </message>
    <message>
        <source>Swap the left and the right picture</source>
        <comment>TBSwap</comment>
        <translation>Linkes und rechtes Bild vertauschen</translation>
    </message>
    <message>
        <source>Align</source>
        <comment>AutoAlign</comment>
        <translation>Ausrichten</translation>
    </message>
    <message>
        <source>Align the pictures: turn, scale and shift the right one, put the nearest part at the screen</source>
        <comment>TBAutoAlign</comment>
        <translation>Die Bilder ausrichten: das rechte drehen, skalieren und verschieben und den nächstgelegenen Teil in die Bildschirmebene legen</translation>
    </message>
    <message>
        <source>Print</source>
        <comment>Print</comment>
        <translation>Drucken</translation>
    </message>
    <message>
        <source>Customize</source>
        <comment>Customize</comment>
        <translation>Anpassen</translation>
    </message>
    <message>
        <source>Print the picture of the selected tab</source>
        <comment>TBPrint</comment>
        <translation>Das Bild des gewählten Reiters drucken</translation>
    </message>
    <message>
        <source>Choose the items of this toolbar and their order</source>
        <comment>TBCustomize</comment>
        <translation>Die Elemente dieser Werkzeugleiste und ihre Reihenfolge wählen</translation>
    </message>
    <message>
        <source>Toolbar</source>
        <comment>ToolbarTitle</comment>
        <translation>Werkzeugleiste</translation>
    </message>
    <message>
        <source>Flexible Space</source>
        <comment>FlexibleSpace</comment>
        <translation>Flexibler Zwischenraum</translation>
    </message>
    <message>
        <source>Space</source>
        <comment>Space</comment>
        <translation>Zwischenraum</translation>
    </message>
    <message>
        <source>Separator</source>
        <comment>Separator</comment>
        <translation>Trennlinie</translation>
    </message>
    <message>
        <source>Customize Toolbar…</source>
        <comment>CustomizeToolbar</comment>
        <translation>Werkzeugleiste anpassen …</translation>
    </message>
    <message>
        <source>Customize Toolbar</source>
        <comment>CustomizeTitle</comment>
        <translation>Werkzeugleiste anpassen</translation>
    </message>
    <message>
        <source>Items you can add</source>
        <comment>AvailableItems</comment>
        <translation>Elemente, die Sie hinzufügen können</translation>
    </message>
    <message>
        <source>Items in the toolbar, from left to right</source>
        <comment>ToolbarItems</comment>
        <translation>Elemente der Werkzeugleiste, von links nach rechts</translation>
    </message>
    <message>
        <source>Add →</source>
        <comment>AddItem</comment>
        <translation>Hinzufügen →</translation>
    </message>
    <message>
        <source>← Remove</source>
        <comment>RemoveItem</comment>
        <translation>← Entfernen</translation>
    </message>
    <message>
        <source>Move Up</source>
        <comment>MoveUp</comment>
        <translation>Nach oben</translation>
    </message>
    <message>
        <source>Move Down</source>
        <comment>MoveDown</comment>
        <translation>Nach unten</translation>
    </message>
    <message>
        <source>Restore Default Set</source>
        <comment>RestoreDefaults</comment>
        <translation>Standardelemente wiederherstellen</translation>
    </message>
    <message>
        <source>Drag items in the list on the right to reorder them. The arrangement is used by every document window.</source>
        <comment>CustomizeHint</comment>
        <translation>Ziehen Sie die Elemente in der rechten Liste, um sie neu anzuordnen. Die Anordnung gilt für alle Dokumentfenster.</translation>
    </message>
    <message>
        <source>Open Pictures</source>
        <comment>OpenPictures</comment>
        <translation>Bilder öffnen</translation>
    </message>
    <message>
        <source>Pictures and stereo files (%1)</source>
        <comment>PictureFilter</comment>
        <translation>Bilder und Stereodateien (%1)</translation>
    </message>
    <message>
        <source>All files (*)</source>
        <comment>AllFiles</comment>
        <translation>Alle Dateien (*)</translation>
    </message>
    <message>
        <source>Save Anaglyph</source>
        <comment>SaveAnaglyph</comment>
        <translation>Anaglyphenbild speichern</translation>
    </message>
    <message>
        <source>%1 picture (%2)</source>
        <comment>SaveTypeFilter</comment>
        <translation>%1-Bild (%2)</translation>
    </message>
    <message>
        <source>Cannot open “%1”: %2</source>
        <comment>CannotOpen</comment>
        <translation>„%1“ kann nicht geöffnet werden: %2</translation>
    </message>
    <message>
        <source>“%1”: %2</source>
        <comment>OpenedWithWarning</comment>
        <translation>„%1“: %2</translation>
    </message>
    <message>
        <source>The anaglyph could not be saved as “%1”.</source>
        <comment>CannotSave</comment>
        <translation>Das Anaglyphenbild konnte nicht als „%1“ gespeichert werden.</translation>
    </message>
    <message>
        <source>There is no anaglyph to save yet: open a left and a right picture that overlap.</source>
        <comment>NoResultToSave</comment>
        <translation>Es gibt noch kein Anaglyphenbild zum Speichern: Öffnen Sie ein linkes und ein rechtes Bild, die sich überlappen.</translation>
    </message>
    <message>
        <source>The pictures do not overlap at these offsets: press Reset or change the depth.</source>
        <comment>NoOverlap</comment>
        <translation>Die Bilder überlappen sich bei diesen Versätzen nicht: Klicken Sie auf „Zurücksetzen“ oder ändern Sie die Tiefe.</translation>
    </message>
    <message>
        <source>Saved “%1”</source>
        <comment>Saved</comment>
        <translation>„%1“ gespeichert</translation>
    </message>
    <message>
        <source>Printed “%1”</source>
        <comment>Printed</comment>
        <translation>„%1“ gedruckt</translation>
    </message>
    <message>
        <source>The dropped picture</source>
        <comment>DroppedPicture</comment>
        <translation>Das abgelegte Bild</translation>
    </message>
    <message>
        <source>Drop to open it as the left picture</source>
        <comment>DropHintLeft</comment>
        <translation>Ablegen, um es als linkes Bild zu öffnen</translation>
    </message>
    <message>
        <source>Drop to open the left and the right picture</source>
        <comment>DropHintPair</comment>
        <translation>Ablegen, um das linke und das rechte Bild zu öffnen</translation>
    </message>
    <message>
        <source>Pictures from the web cannot be dropped here: save the picture to a file first, then drop the file.</source>
        <comment>DropWebRefused</comment>
        <translation>Bilder aus dem Web können hier nicht abgelegt werden: Speichern Sie das Bild zuerst in einer Datei und legen Sie dann die Datei hier ab.</translation>
    </message>
    <message>
        <source>The picture could not be copied.</source>
        <comment>CannotCopy</comment>
        <translation>Das Bild konnte nicht kopiert werden.</translation>
    </message>
    <message>
        <source>Paste puts a picture into the left or right view: choose the Left or Right tab first.</source>
        <comment>PasteNeedsPictureTab</comment>
        <translation>Einfügen legt ein Bild in die linke oder rechte Ansicht: Wählen Sie zuerst den Reiter „Links“ oder „Rechts“.</translation>
    </message>
    <message>
        <source>There is no picture on the clipboard.</source>
        <comment>NothingToPaste</comment>
        <translation>In der Zwischenablage ist kein Bild.</translation>
    </message>
    <message>
        <source>Glasses</source>
        <comment>UndoGlasses</comment>
        <translation>Brille</translation>
    </message>
    <message>
        <source>Colour</source>
        <comment>UndoColor</comment>
        <translation>Farbe</translation>
    </message>
    <message>
        <source>Depth</source>
        <comment>UndoDepth</comment>
        <translation>Tiefe</translation>
    </message>
    <message>
        <source>Vertical Offset</source>
        <comment>UndoVertical</comment>
        <translation>Vertikaler Versatz</translation>
    </message>
    <message>
        <source>Reset Alignment</source>
        <comment>UndoReset</comment>
        <translation>Ausrichtung zurücksetzen</translation>
    </message>
    <message>
        <source>Swap Pictures</source>
        <comment>UndoSwap</comment>
        <translation>Bilder vertauschen</translation>
    </message>
    <message>
        <source>Anaglyph Method</source>
        <comment>UndoMethod</comment>
        <translation>Anaglyphenverfahren</translation>
    </message>
    <message>
        <source>Colour Mixing</source>
        <comment>UndoColourMixing</comment>
        <translation>Farbmischung</translation>
    </message>
    <message>
        <source>Result Format</source>
        <comment>UndoResultFormat</comment>
        <translation>Ergebnisformat</translation>
    </message>
    <message>
        <source>Auto Align</source>
        <comment>UndoAutoAlign</comment>
        <translation>Automatisch ausrichten</translation>
    </message>
    <message>
        <source>Rotate Right Picture</source>
        <comment>UndoRotate</comment>
        <translation>Rechtes Bild drehen</translation>
    </message>
    <message>
        <source>Clear Correction</source>
        <comment>UndoClearCorrection</comment>
        <translation>Korrektur entfernen</translation>
    </message>
    <message>
        <source>Open Picture</source>
        <comment>UndoLoad</comment>
        <translation>Bild öffnen</translation>
    </message>
    <message>
        <source>Open Pictures</source>
        <comment>UndoLoadPair</comment>
        <translation>Bilder öffnen</translation>
    </message>
    <message>
        <source>Drop Picture</source>
        <comment>UndoDrop</comment>
        <translation>Bild ablegen</translation>
    </message>
    <message>
        <source>Paste Picture</source>
        <comment>UndoPaste</comment>
        <translation>Bild einfügen</translation>
    </message>
    <message>
        <source>Pin Point</source>
        <comment>UndoPin</comment>
        <translation>Passpunkt</translation>
    </message>
    <message>
        <source>Depth %1 px · Vertical %2 px · %3 %4 · %5</source>
        <comment>Readout</comment>
        <translation>Tiefe %1 px · Vertikal %2 px · %3 %4 · %5</translation>
    </message>
    <message>
        <source>Red–Green</source>
        <comment>ReadoutGlassesRG</comment>
        <translation>Rot-Grün</translation>
    </message>
    <message>
        <source>Red–Cyan</source>
        <comment>ReadoutGlassesRC</comment>
        <translation>Rot-Cyan</translation>
    </message>
    <message>
        <source>Red–Blue</source>
        <comment>ReadoutGlassesRB</comment>
        <translation>Rot-Blau</translation>
    </message>
    <message>
        <source>Green–Red</source>
        <comment>ReadoutGlassesGR</comment>
        <translation>Grün-Rot</translation>
    </message>
    <message>
        <source>Cyan–Red</source>
        <comment>ReadoutGlassesCR</comment>
        <translation>Cyan-Rot</translation>
    </message>
    <message>
        <source>Blue–Red</source>
        <comment>ReadoutGlassesBR</comment>
        <translation>Blau-Rot</translation>
    </message>
    <message>
        <source>Amber–Blue</source>
        <comment>ReadoutGlassesAB</comment>
        <translation>Amber-Blau</translation>
    </message>
    <message>
        <source>Blue–Amber</source>
        <comment>ReadoutGlassesBA</comment>
        <translation>Blau-Amber</translation>
    </message>
    <message>
        <source>Green–Magenta</source>
        <comment>ReadoutGlassesGM</comment>
        <translation>Grün-Magenta</translation>
    </message>
    <message>
        <source>Magenta–Green</source>
        <comment>ReadoutGlassesMG</comment>
        <translation>Magenta-Grün</translation>
    </message>
    <message>
        <source>colour</source>
        <comment>ReadoutColour</comment>
        <translation>farbig</translation>
    </message>
    <message>
        <source>black and white</source>
        <comment>ReadoutBlackWhite</comment>
        <translation>schwarzweiß</translation>
    </message>
    <message>
        <source>grey method</source>
        <comment>ReadoutMethodGrey</comment>
        <translation>Verfahren Grau</translation>
    </message>
    <message>
        <source>half-colour method</source>
        <comment>ReadoutMethodHalfColour</comment>
        <translation>Verfahren Halbfarbig</translation>
    </message>
    <message>
        <source>colour method</source>
        <comment>ReadoutMethodColour</comment>
        <translation>Verfahren Farbig</translation>
    </message>
    <message>
        <source>Dubois method</source>
        <comment>ReadoutMethodDubois</comment>
        <translation>Verfahren Dubois</translation>
    </message>
    <message>
        <source>custom mixing</source>
        <comment>ReadoutMethodCustom</comment>
        <translation>eigene Mischung</translation>
    </message>
    <message>
        <source>%1 × %2</source>
        <comment>ReadoutSize</comment>
        <translation>%1 × %2</translation>
    </message>
    <message>
        <source>no anaglyph yet</source>
        <comment>ReadoutNoResult</comment>
        <translation>noch kein Anaglyphenbild</translation>
    </message>
    <message>
        <source>no overlap</source>
        <comment>ReadoutNoOverlap</comment>
        <translation>keine Überlappung</translation>
    </message>
    <message>
        <source>Left picture</source>
        <comment>AccLeftPicture</comment>
        <translation>Linkes Bild</translation>
    </message>
    <message>
        <source>Right picture</source>
        <comment>AccRightPicture</comment>
        <translation>Rechtes Bild</translation>
    </message>
    <message>
        <source>Anaglyph</source>
        <comment>AccAnaglyph</comment>
        <translation>Anaglyphenbild</translation>
    </message>
    <message>
        <source>Pictures</source>
        <comment>AccPictures</comment>
        <translation>Bilder</translation>
    </message>
    <message>
        <source>Click to set the pin point that the anaglyph lays over the other picture's</source>
        <comment>AccPictureHint</comment>
        <translation>Klicken Sie, um den Passpunkt zu setzen, den das Anaglyphenbild auf den des anderen Bildes legt</translation>
    </message>
    <message>
        <source>The anaglyph of the left and the right picture</source>
        <comment>AccResultHint</comment>
        <translation>Das Anaglyphenbild aus dem linken und dem rechten Bild</translation>
    </message>
    <message>
        <source>Alignment</source>
        <comment>AccReadout</comment>
        <translation>Ausrichtung</translation>
    </message>
    <message>
        <source>Zoom</source>
        <comment>AccZoom</comment>
        <translation>Vergrößerung</translation>
    </message>
    <message>
        <source>Horizontal scrolling</source>
        <comment>AccScrollHorizontal</comment>
        <translation>Horizontaler Bildlauf</translation>
    </message>
    <message>
        <source>Vertical scrolling</source>
        <comment>AccScrollVertical</comment>
        <translation>Vertikaler Bildlauf</translation>
    </message>
    <message>
        <source>More toolbar items</source>
        <comment>AccMoreToolbarItems</comment>
        <translation>Weitere Elemente der Werkzeugleiste</translation>
    </message>
    <message>
        <source>More menus</source>
        <comment>AccMoreMenus</comment>
        <translation>Weitere Menüs</translation>
    </message>
    <message>
        <source>Page number</source>
        <comment>AccPageNumber</comment>
        <translation>Seitenzahl</translation>
    </message>
    <message>
        <source>Window size</source>
        <comment>AccSizeGrip</comment>
        <translation>Fenstergröße</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <comment>MenuFileTitle</comment>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <comment>MenuEditTitle</comment>
        <translation>&amp;Bearbeiten</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <comment>MenuUndo</comment>
        <translation>&amp;Rückgängig</translation>
    </message>
    <message>
        <source>&amp;Redo</source>
        <comment>MenuRedo</comment>
        <translation>&amp;Wiederholen</translation>
    </message>
    <message>
        <source>&amp;Undo %1</source>
        <comment>MenuUndoStep</comment>
        <translation>&amp;Rückgängig: %1</translation>
    </message>
    <message>
        <source>&amp;Redo %1</source>
        <comment>MenuRedoStep</comment>
        <translation>&amp;Wiederholen: %1</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <comment>MenuCopy</comment>
        <translation>&amp;Kopieren</translation>
    </message>
    <message>
        <source>&amp;Paste</source>
        <comment>MenuPaste</comment>
        <translation>&amp;Einfügen</translation>
    </message>
    <message>
        <source>&amp;Stereo</source>
        <comment>MenuStereoTitle</comment>
        <translation>&amp;Stereo</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <comment>MenuViewTitle</comment>
        <translation>&amp;Ansicht</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <comment>MenuHelpTitle</comment>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>&amp;New</source>
        <comment>MenuNew</comment>
        <translation>&amp;Neu</translation>
    </message>
    <message>
        <source>&amp;Open...</source>
        <comment>MenuOpen</comment>
        <translation>Ö&amp;ffnen …</translation>
    </message>
    <message>
        <source>Open &amp;Left...</source>
        <comment>MenuOpenLeft</comment>
        <translation>&amp;Linkes Bild öffnen …</translation>
    </message>
    <message>
        <source>Open &amp;Right...</source>
        <comment>MenuOpenRight</comment>
        <translation>&amp;Rechtes Bild öffnen …</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <comment>MenuSave</comment>
        <translation>&amp;Speichern</translation>
    </message>
    <message>
        <source>Save &amp;As...</source>
        <comment>MenuSaveAs</comment>
        <translation>Speichern &amp;unter …</translation>
    </message>
    <message>
        <source>&amp;Print...</source>
        <comment>MenuPrint</comment>
        <translation>&amp;Drucken …</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <comment>MenuClose</comment>
        <translation>S&amp;chließen</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <comment>MenuQuit</comment>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>Red – Green Glasses</source>
        <comment>MenuGlassesRG</comment>
        <translation>Rot-Grün-Brille</translation>
    </message>
    <message>
        <source>Red – Cyan Glasses</source>
        <comment>MenuGlassesRC</comment>
        <translation>Rot-Cyan-Brille</translation>
    </message>
    <message>
        <source>Red – Blue Glasses</source>
        <comment>MenuGlassesRB</comment>
        <translation>Rot-Blau-Brille</translation>
    </message>
    <message>
        <source>Green – Red Glasses</source>
        <comment>MenuGlassesGR</comment>
        <translation>Grün-Rot-Brille</translation>
    </message>
    <message>
        <source>Cyan – Red Glasses</source>
        <comment>MenuGlassesCR</comment>
        <translation>Cyan-Rot-Brille</translation>
    </message>
    <message>
        <source>Blue – Red Glasses</source>
        <comment>MenuGlassesBR</comment>
        <translation>Blau-Rot-Brille</translation>
    </message>
    <message>
        <source>Amber – Blue Glasses</source>
        <comment>MenuGlassesAB</comment>
        <translation>Amber-Blau-Brille</translation>
    </message>
    <message>
        <source>Blue – Amber Glasses</source>
        <comment>MenuGlassesBA</comment>
        <translation>Blau-Amber-Brille</translation>
    </message>
    <message>
        <source>Green – Magenta Glasses</source>
        <comment>MenuGlassesGM</comment>
        <translation>Grün-Magenta-Brille</translation>
    </message>
    <message>
        <source>Magenta – Green Glasses</source>
        <comment>MenuGlassesMG</comment>
        <translation>Magenta-Grün-Brille</translation>
    </message>
    <message>
        <source>&amp;Method</source>
        <comment>MenuMethodTitle</comment>
        <translation>&amp;Verfahren</translation>
    </message>
    <message>
        <source>C&amp;lassic</source>
        <comment>MenuMethodClassic</comment>
        <translation>&amp;Klassisch</translation>
    </message>
    <message>
        <source>&amp;Grey</source>
        <comment>MenuMethodGrey</comment>
        <translation>&amp;Grau</translation>
    </message>
    <message>
        <source>&amp;Half Colour</source>
        <comment>MenuMethodHalfColour</comment>
        <translation>&amp;Halbfarbig</translation>
    </message>
    <message>
        <source>Co&amp;lour</source>
        <comment>MenuMethodColour</comment>
        <translation>&amp;Farbig</translation>
    </message>
    <message>
        <source>&amp;Dubois</source>
        <comment>MenuMethodDubois</comment>
        <translation>&amp;Dubois</translation>
    </message>
    <message>
        <source>C&amp;ustom Mixing</source>
        <comment>MenuMethodCustom</comment>
        <translation>&amp;Eigene Mischung</translation>
    </message>
    <message>
        <source>Colour &amp;Mixing…</source>
        <comment>MenuColourMixing</comment>
        <translation>Farb&amp;mischung …</translation>
    </message>
    <message>
        <source>Start from</source>
        <comment>MixingPreset</comment>
        <translation>Ausgehend von</translation>
    </message>
    <message>
        <source>The current mixing</source>
        <comment>MixingPresetCurrent</comment>
        <translation>Der aktuellen Mischung</translation>
    </message>
    <message>
        <source>Left picture, in thousandths</source>
        <comment>MixingLeft</comment>
        <translation>Linkes Bild, in Tausendsteln</translation>
    </message>
    <message>
        <source>Right picture, in thousandths</source>
        <comment>MixingRight</comment>
        <translation>Rechtes Bild, in Tausendsteln</translation>
    </message>
    <message>
        <source>red</source>
        <comment>MixingRed</comment>
        <translation>Rot</translation>
    </message>
    <message>
        <source>green</source>
        <comment>MixingGreen</comment>
        <translation>Grün</translation>
    </message>
    <message>
        <source>blue</source>
        <comment>MixingBlue</comment>
        <translation>Blau</translation>
    </message>
    <message>
        <source>into %1</source>
        <comment>MixingInto</comment>
        <translation>nach %1</translation>
    </message>
    <message>
        <source>%1: %3 into %2</source>
        <comment>MixingBoxName</comment>
        <translation>%1: %3 nach %2</translation>
    </message>
    <message>
        <source>&amp;Colour</source>
        <comment>MenuColor</comment>
        <translation>&amp;Farbe</translation>
    </message>
    <message>
        <source>More &amp;Depth</source>
        <comment>MenuIncDepth</comment>
        <translation>Mehr &amp;Tiefe</translation>
    </message>
    <message>
        <source>&amp;Less Depth</source>
        <comment>MenuDecDepth</comment>
        <translation>&amp;Weniger Tiefe</translation>
    </message>
    <message>
        <source>Left Picture &amp;Up</source>
        <comment>MenuIncVOff</comment>
        <translation>Linkes Bild nach &amp;oben</translation>
    </message>
    <message>
        <source>Left Picture Do&amp;wn</source>
        <comment>MenuDecVOff</comment>
        <translation>Linkes Bild nach &amp;unten</translation>
    </message>
    <message>
        <source>&amp;Reset Alignment</source>
        <comment>MenuReset</comment>
        <translation>Ausrichtung &amp;zurücksetzen</translation>
    </message>
    <message>
        <source>S&amp;wap Pictures</source>
        <comment>MenuSwap</comment>
        <translation>&amp;Bilder vertauschen</translation>
    </message>
    <message>
        <source>Auto &amp;Align</source>
        <comment>MenuAutoAlign</comment>
        <translation>&amp;Automatisch ausrichten</translation>
    </message>
    <message>
        <source>Turn Right Picture Clockwise (Shift: 1°)</source>
        <comment>MenuRotateCW</comment>
        <translation>Rechtes Bild im Uhrzeigersinn drehen (Umschalt: 1°)</translation>
    </message>
    <message>
        <source>Turn Right Picture Counterclockwise (Shift: 1°)</source>
        <comment>MenuRotateCCW</comment>
        <translation>Rechtes Bild gegen den Uhrzeigersinn drehen (Umschalt: 1°)</translation>
    </message>
    <message>
        <source>C&amp;lear Correction</source>
        <comment>MenuClearCorrection</comment>
        <translation>Korrektur &amp;entfernen</translation>
    </message>
    <message>
        <source>Align Pairs on &amp;Load</source>
        <comment>MenuAlignOnLoad</comment>
        <translation>Paare beim &amp;Laden ausrichten</translation>
    </message>
    <message>
        <source>Opening “%1”…</source>
        <comment>LoadingPictures</comment>
        <translation>„%1“ wird geöffnet …</translation>
    </message>
    <message>
        <source>Opening the picture…</source>
        <comment>LoadingPicture</comment>
        <translation>Das Bild wird geöffnet …</translation>
    </message>
    <message>
        <source>Aligning…</source>
        <comment>Aligning</comment>
        <translation>Wird ausgerichtet …</translation>
    </message>
    <message>
        <source>Aligned: rotation %1°, scale %2, residual %3 px; parallax %4 to %5 % of width</source>
        <comment>Aligned</comment>
        <translation>Ausgerichtet: Drehung %1°, Maßstab %2, Restfehler %3 px; Parallaxe %4 bis %5 % der Breite</translation>
    </message>
    <message>
        <source>&amp;Left Picture</source>
        <comment>MenuShowLeft</comment>
        <translation>&amp;Linkes Bild</translation>
    </message>
    <message>
        <source>&amp;Right Picture</source>
        <comment>MenuShowRight</comment>
        <translation>&amp;Rechtes Bild</translation>
    </message>
    <message>
        <source>&amp;Anaglyph</source>
        <comment>MenuShowResult</comment>
        <translation>&amp;Anaglyphenbild</translation>
    </message>
    <message>
        <source>Open Rec&amp;ent</source>
        <comment>MenuOpenRecentTitle</comment>
        <translation>&amp;Zuletzt geöffnet</translation>
    </message>
    <message>
        <source>&amp;Clear Menu</source>
        <comment>MenuClearRecent</comment>
        <translation>Liste &amp;leeren</translation>
    </message>
    <message>
        <source>%1 + %2</source>
        <comment>RecentPair</comment>
        <translation>%1 + %2</translation>
    </message>
    <message>
        <source>%1 (right)</source>
        <comment>RecentRight</comment>
        <translation>%1 (rechts)</translation>
    </message>
    <message>
        <source>%1 can no longer be found. It has been removed from Open Recent.</source>
        <comment>RecentMissing</comment>
        <translation>%1 ist nicht mehr zu finden und wurde aus „Zuletzt geöffnet“ entfernt.</translation>
    </message>
    <message>
        <source>Page Set&amp;up...</source>
        <comment>MenuPageSetup</comment>
        <translation>Seite &amp;einrichten …</translation>
    </message>
    <message>
        <source>Print Pre&amp;view</source>
        <comment>MenuPrintPreview</comment>
        <translation>Druck&amp;vorschau</translation>
    </message>
    <message>
        <source>Zoom &amp;In</source>
        <comment>MenuZoomIn</comment>
        <translation>Ver&amp;größern</translation>
    </message>
    <message>
        <source>Zoom &amp;Out</source>
        <comment>MenuZoomOut</comment>
        <translation>Ver&amp;kleinern</translation>
    </message>
    <message>
        <source>Zoom to &amp;Fit</source>
        <comment>MenuZoomToFit</comment>
        <translation>In das Fenster ein&amp;passen</translation>
    </message>
    <message>
        <source>Actual Si&amp;ze</source>
        <comment>MenuActualSize</comment>
        <translation>&amp;Originalgröße</translation>
    </message>
    <message>
        <source>Fit &amp;New Pictures to the Window</source>
        <comment>MenuFitNewPictures</comment>
        <translation>&amp;Neue Bilder in das Fenster einpassen</translation>
    </message>
    <message>
        <source>Fit</source>
        <comment>ZoomFit</comment>
        <translation>Einpassen</translation>
    </message>
    <message>
        <source>Result A&amp;s</source>
        <comment>MenuResultAsTitle</comment>
        <translation>&amp;Ergebnis als</translation>
    </message>
    <message>
        <source>&amp;Anaglyph</source>
        <comment>MenuResultAnaglyph</comment>
        <translation>&amp;Anaglyphenbild</translation>
    </message>
    <message>
        <source>&amp;Side by Side</source>
        <comment>MenuResultSideBySide</comment>
        <translation>&amp;Nebeneinander</translation>
    </message>
    <message>
        <source>&amp;Cross-Eyed</source>
        <comment>MenuResultCrossEyed</comment>
        <translation>&amp;Kreuzblick</translation>
    </message>
    <message>
        <source>&amp;Over-Under</source>
        <comment>MenuResultOverUnder</comment>
        <translation>Ü&amp;bereinander</translation>
    </message>
    <message>
        <source>&amp;Half Side by Side</source>
        <comment>MenuResultHalfSideBySide</comment>
        <translation>&amp;Halb nebeneinander</translation>
    </message>
    <message>
        <source>Half O&amp;ver-Under</source>
        <comment>MenuResultHalfOverUnder</comment>
        <translation>Halb übereinan&amp;der</translation>
    </message>
    <message>
        <source>&amp;Interleaved Rows</source>
        <comment>MenuResultInterleavedRows</comment>
        <translation>&amp;Zeilenweise verschachtelt</translation>
    </message>
    <message>
        <source>&amp;About Korvex</source>
        <comment>MenuAbout</comment>
        <translation>Über &amp;Korvex</translation>
    </message>
    <message>
        <source>Korvex &amp;Website</source>
        <comment>MenuWebSite</comment>
        <translation>Korvex-&amp;Website</translation>
    </message>
    <message>
        <source>&amp;Frequently Asked Questions</source>
        <comment>MenuFAQ</comment>
        <translation>&amp;Häufig gestellte Fragen</translation>
    </message>
    <message>
        <source>&amp;Mail the Author</source>
        <comment>MenuMail</comment>
        <translation>&amp;E-Mail an den Autor</translation>
    </message>
    <message>
        <source>About Korvex</source>
        <comment>AboutTitle</comment>
        <translation>Über Korvex</translation>
    </message>
    <message>
        <source>The Korvex user guide</source>
        <comment>AboutGuide</comment>
        <translation>Das Korvex-Benutzerhandbuch</translation>
    </message>
    <message>
        <source>Turns stereo pairs of photographs into anaglyph pictures for two-colour 3-D glasses.&lt;br&gt;Free software under the GNU General Public License, version 3 or later.</source>
        <comment>AboutText</comment>
        <translation>Wandelt stereoskopische Fotopaare in Anaglyphenbilder für zweifarbige 3-D-Brillen um.&lt;br&gt;Freie Software unter der GNU General Public License, Version 3 oder später.</translation>
    </message>
</context>
</TS>
