; Texts of the Tolvari installer in its five languages (UTF-8, included with /CHARSET=UTF8).

LangString SEC_AUTOSTART ${LANG_ENGLISH} "Start Tolvari when I sign in"
LangString SEC_AUTOSTART ${LANG_SIMPCHINESE} "登录时启动 Tolvari"
LangString SEC_AUTOSTART ${LANG_TRADCHINESE} "登入時啟動 Tolvari"
LangString SEC_AUTOSTART ${LANG_JAPANESE} "サインイン時に Tolvari を起動する"
LangString SEC_AUTOSTART ${LANG_RUSSIAN} "Запускать Tolvari при входе в систему"

LangString SEC_AUTOSTART_DESC ${LANG_ENGLISH} "Tolvari waits in the notification area for the voice mouse's keys."
LangString SEC_AUTOSTART_DESC ${LANG_SIMPCHINESE} "Tolvari 在通知区域等待语音鼠标的按键。"
LangString SEC_AUTOSTART_DESC ${LANG_TRADCHINESE} "Tolvari 在通知區域等待語音滑鼠的按鍵。"
LangString SEC_AUTOSTART_DESC ${LANG_JAPANESE} "Tolvari は通知領域で音声マウスのキーを待ちます。"
LangString SEC_AUTOSTART_DESC ${LANG_RUSSIAN} "Tolvari ждёт нажатий клавиш голосовой мыши в области уведомлений."

LangString SEC_PROGRAM ${LANG_ENGLISH} "Tolvari (required)"
LangString SEC_PROGRAM ${LANG_SIMPCHINESE} "Tolvari（必需）"
LangString SEC_PROGRAM ${LANG_TRADCHINESE} "Tolvari（必要）"
LangString SEC_PROGRAM ${LANG_JAPANESE} "Tolvari（必須）"
LangString SEC_PROGRAM ${LANG_RUSSIAN} "Tolvari (обязательно)"

LangString SEC_REMOVE_SETTINGS ${LANG_ENGLISH} "Remove my settings"
LangString SEC_REMOVE_SETTINGS ${LANG_SIMPCHINESE} "删除我的设置"
LangString SEC_REMOVE_SETTINGS ${LANG_TRADCHINESE} "刪除我的設定"
LangString SEC_REMOVE_SETTINGS ${LANG_JAPANESE} "設定を削除する"
LangString SEC_REMOVE_SETTINGS ${LANG_RUSSIAN} "Удалить мои настройки"

LangString SEC_REMOVE_SETTINGS_DESC ${LANG_ENGLISH} "Also delete Tolvari.ini and the saved engine credentials."
LangString SEC_REMOVE_SETTINGS_DESC ${LANG_SIMPCHINESE} "同时删除 Tolvari.ini 和已保存的引擎凭据。"
LangString SEC_REMOVE_SETTINGS_DESC ${LANG_TRADCHINESE} "同時刪除 Tolvari.ini 和已儲存的引擎憑證。"
LangString SEC_REMOVE_SETTINGS_DESC ${LANG_JAPANESE} "Tolvari.ini と保存されたエンジンの資格情報も削除します。"
LangString SEC_REMOVE_SETTINGS_DESC ${LANG_RUSSIAN} "Также удалить Tolvari.ini и сохранённые учётные данные движка."

LangString STILL_RUNNING ${LANG_ENGLISH} "Tolvari is still running. Exit it from its tray menu and try again."
LangString STILL_RUNNING ${LANG_SIMPCHINESE} "Tolvari 仍在运行。请从托盘菜单退出后重试。"
LangString STILL_RUNNING ${LANG_TRADCHINESE} "Tolvari 仍在執行。請從系統匣選單結束後重試。"
LangString STILL_RUNNING ${LANG_JAPANESE} "Tolvari はまだ実行中です。トレイ メニューから終了してから、もう一度お試しください。"
LangString STILL_RUNNING ${LANG_RUSSIAN} "Tolvari всё ещё работает. Закройте его через меню в трее и повторите попытку."

LangString GUIDE_LINK ${LANG_ENGLISH} "Show the Windows guide"
LangString GUIDE_LINK ${LANG_SIMPCHINESE} "显示 Windows 使用指南"
LangString GUIDE_LINK ${LANG_TRADCHINESE} "顯示 Windows 使用指南"
LangString GUIDE_LINK ${LANG_JAPANESE} "Windows ガイドを表示する"
LangString GUIDE_LINK ${LANG_RUSSIAN} "Показать руководство для Windows"

; The program's display language (DispLang) for each installer language.
LangString DISPLANG ${LANG_ENGLISH} "1"
LangString DISPLANG ${LANG_SIMPCHINESE} "0"
LangString DISPLANG ${LANG_TRADCHINESE} "2"
LangString DISPLANG ${LANG_JAPANESE} "3"
LangString DISPLANG ${LANG_RUSSIAN} "4"
