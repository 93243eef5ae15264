; The installer's own Polish texts, in Windows-1250 as the program's are.

LangString SectionProgram ${LANG_POLISH} "Brenvik"
LangString SectionProgramInfo ${LANG_POLISH} "Program i skrót w menu Start."
LangString SectionAutostart ${LANG_POLISH} "Uruchamiaj z Windows"
LangString SectionAutostartInfo ${LANG_POLISH} "Brenvik startuje razem z Windows, ukryty w zasobniku systemowym."
LangString StillRunning ${LANG_POLISH} "Brenvik nadal dzia³a i nie da³ siê zamkn¹æ.$\r$\n$\r$\nZamknij go (ikona w zasobniku, polecenie Zamknij) i kliknij Ponów."
LangString RemoveSettings ${LANG_POLISH} "Usun¹æ tak¿e ustawienia programu Brenvik (port, opcje importu)?$\r$\n$\r$\nZachowane ustawienia wróc¹ po ponownej instalacji."
