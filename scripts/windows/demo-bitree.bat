@echo off
REM Runs bitree in a fresh folder work\bitree with the menu choices of
REM examples\bitree\session.txt as its keyboard input; its dialogue is shown.
setlocal
chcp 936 >nul
set "top=%~dp0"
set "work=%top%work\bitree"
if exist "%work%" rd /s /q "%work%"
md "%work%"
cd /d "%work%"

echo == bitree ^< examples\bitree\session.txt
echo.
"%top%bitree.exe" < "%top%examples\bitree\session.txt"
echo.
pause
