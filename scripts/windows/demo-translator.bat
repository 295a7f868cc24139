@echo off
REM Runs translator on examples\translator\rules.txt in a fresh folder
REM work\translator, then shows the rule file and the translate.txt it wrote.
setlocal
chcp 936 >nul
set "top=%~dp0"
set "work=%top%work\translator"
if exist "%work%" rd /s /q "%work%"
md "%work%"
copy "%top%examples\translator\rules.txt" "%work%" >nul
cd /d "%work%"

echo == translator rules.txt  -^>  work\translator\translate.txt
echo.
type rules.txt
echo --
"%top%translator.exe" rules.txt
type translate.txt
echo.
echo.
pause
