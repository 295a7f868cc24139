@echo off
REM Runs josephus twice in a fresh folder work\josephus: with the values of
REM examples\josephus\args.txt as its arguments, then with those of
REM examples\josephus\keyboard.txt typed in; shows out.txt after each run.
setlocal
chcp 936 >nul
set "top=%~dp0"
set "work=%top%work\josephus"
if exist "%work%" rd /s /q "%work%"
md "%work%"
cd /d "%work%"

for /f "usebackq delims=" %%a in ("%top%examples\josephus\args.txt") do set "args=%%a"
echo == josephus %args%  -^>  work\josephus\out.txt
echo.
"%top%josephus.exe" %args%
type out.txt
echo.
echo.
echo == josephus ^< examples\josephus\keyboard.txt  -^>  work\josephus\out.txt
echo.
"%top%josephus.exe" < "%top%examples\josephus\keyboard.txt"
type out.txt
echo.
echo.
pause
